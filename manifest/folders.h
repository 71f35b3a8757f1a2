// The rules a destination folder must meet: the location page checks a typed
// folder by them, the uninstaller a recorded one, the packer the default.
#ifndef CRATEWISE_FOLDERS_H
#define CRATEWISE_FOLDERS_H

#include <stdint.h>

#include "manifest.h"
#include "paths.h"

// What lists a folder's entries.
extern const char SearchPattern[];

// What a folder on disk is, as far as trusting it goes.
enum FolderStanding {
    FolderMissing = 0,
    FolderOwnedSafely = 1,  // by Administrators, SYSTEM or the user running us
    FolderOwnedByOthers = 2,
    FolderIsLink = 3  // a junction or a symbolic link
};

// Asks the file system what a folder is.
class FolderProbe {
public:
    virtual int32_t Standing(const char* folder) = 0;

protected:
    ~FolderProbe() {}
};

// The refusal format (its %s takes RefusalPrefix) for a folder that another
// user owns, and so could still change what is put in it, or that is, or
// lies below, a link; 0 when there is none. folder is resolved, as
// NormalizeFolder gives it; each level that exists is asked about.
const char* FolderTrustRefusal(const char* folder, FolderProbe& probe);

// Whether every path and command the later steps build from folder fits
// their buffers, and so does the page's own search pattern.
bool DestinationFits(const char* folder, const InstallManifest& product);

// The refusal format for a typed text (its %s takes RefusalPrefix), or 0 when
// the text is accepted. wholeLength is the field's length, which may exceed
// what was read into text.
const char* FolderRefusal(const char* text, int32_t wholeLength, const InstallManifest& product);
extern const char RefusalPrefix[];

// A search pattern for folder fits the page's buffer, so it can be listed.
bool Listable(const char* folder);

#endif
