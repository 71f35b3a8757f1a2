// The names of the registry entries the installer writes and the
// uninstaller reads back.
#ifndef CRATEWISE_REGISTRY_H
#define CRATEWISE_REGISTRY_H

extern const char UninstallKeyPath[];
extern const char ProgramVersionValue[];
extern const char ProgramPathValue[];
extern const char ProgramGroupValue[];

#endif
