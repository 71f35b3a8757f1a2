#include "folders.h"

#include "paths.h"
#include "text.h"

const char RefusalPrefix[] = "Path invalid!\n\n";
const char SearchPattern[] = "*.*";

namespace {

// The copy page opens each stored copy through the LZ library, whose
// open-file record holds a path of at most 127 characters.
enum { LzOpenPathSize = 128 };

}  // namespace

bool Listable(const char* folder)
{
    return JoinedSize(folder, SearchPattern, Unquoted) <= PagePathSize;
}

bool DestinationFits(const char* folder, const InstallManifest& product)
{
    char path[FullPathSize];
    for (int32_t row = 0; row < product.FileCount && row < PayloadSlots; ++row) {
        const char* name = product.Payload[row].FileName;
        if (StoredPath(path, LzOpenPathSize, folder, name) != 1)
            return false;
        // The uninstaller itself goes into the Windows directory.
        if (row != UninstallerRow && JoinPath(path, sizeof path, folder, name, Unquoted) != 1)
            return false;
    }
    char quoted[QuotedPathSize];
    char command[CommandLineSize];
    if (ReadMeCommand(command, sizeof command, quoted, sizeof quoted, folder,
                      product.Payload[ReadMeRow].FileName) != 1)
        return false;
    return Listable(folder);
}

const char* FolderRefusal(const char* text, int32_t wholeLength, const InstallManifest& product)
{
    if (!text[0])
        return "%sPath may not be empty!";
    if (text[1] != ':' || text[2] != '\\')
        return "%sMissing : or \\ in drive.";
    char resolved[FullPathSize];
    if (!text[3] || NormalizeFolder(resolved, sizeof resolved, text) < 0)
        return "%sPath may not be a root drive...";
    if (wholeLength > TextLength(text) || !DestinationFits(text, product))
        return "%sPath is too long.";
    return 0;
}

const char* FolderTrustRefusal(const char* folder, FolderProbe& probe)
{
    char level[FullPathSize];
    // Each level below the root, top down: a link anywhere would lead every
    // file elsewhere; only the folder itself must be no other user's.
    int32_t length = TextLength(folder);
    for (int32_t at = RootLength + 1; at <= length; ++at) {
        if (folder[at] && folder[at] != '\\')
            continue;
        TextCopyPart(level, sizeof level, folder, at);
        int32_t standing = probe.Standing(level);
        if (standing == FolderMissing)
            return 0;
        if (standing == FolderIsLink)
            return "%sThe folder is, or lies below, a link.";
        if (at == length && standing == FolderOwnedByOthers)
            return "%sThe folder belongs to another user.";
    }
    return 0;
}
