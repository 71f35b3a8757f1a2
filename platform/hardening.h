// What an elevated program does for itself before it takes any input: where
// libraries may come from, and which messages of unelevated programs reach it.
#ifndef CRATEWISE_HARDENING_H
#define CRATEWISE_HARDENING_H

#include <stdint.h>

#include "../manifest/folders.h"

// Libraries that system code loads later by name are looked for in the
// system folder only, never beside a downloaded program. Where the system
// has no such setting, nothing changes.
void LimitLibrarySearch();

// Lets the DDE messages of an unelevated Program Manager reach this
// elevated program's windows: from Windows Vista on they are filtered, and
// DDE's acknowledgements travel as such messages. To be called before the
// DDE library is initialised.
void AllowDdeMessages();

// What a folder on disk is: a FolderStanding. Its owner is read only when
// it is neither missing nor a link.
int32_t ProbeFolder(const char* path);

class DiskProbe : public FolderProbe {
public:
    int32_t Standing(const char* folder) override { return ProbeFolder(folder); }
};

#endif
