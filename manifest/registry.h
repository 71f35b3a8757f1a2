// The names of the registry entries the installer writes and the
// uninstaller reads back, and the buffers they are read and made in.
#ifndef CRATEWISE_REGISTRY_H
#define CRATEWISE_REGISTRY_H

enum {
    // A key path below HKEY_LOCAL_MACHINE, or a text value, its zero included.
    RegistryTextSize = 256,
    // The group name as the group page takes it and "Program Group" holds it.
    GroupNameSize = 41
};

extern const char UninstallKeyPath[];
// The template's second placeholder for the key that holds the version.
extern const char VersionKeyName[];
extern const char ProgramVersionValue[];
extern const char ProgramPathValue[];
extern const char ProgramGroupValue[];

#endif
