#include "location_logic.h"

#include "../manifest/paths.h"
#include "../manifest/text.h"
#include "../platform/dde_port.h"

namespace {

const char FoldersHeader[] = "Folders";
const char DrivesHeader[] = "Drives";

// The group page's AddItem command, 17 characters of its own in its buffer,
// holds any folder the page's buffers hold with any file name and caption.
static_assert(17 + (PagePathSize - 1) + (FileNameWidth - 1) + (CaptionWidth - 1) + 1 <= CommandSize,
              "an item command could overflow");

void SetLevels(int32_t* levels, int32_t from, int32_t level)
{
    for (int32_t i = from < 0 ? 0 : from; i < FolderIndentSlots; ++i)
        levels[i] = level;
}

void SetLevel(int32_t* levels, int32_t index, int32_t level)
{
    if (index >= 0 && index < FolderIndentSlots)
        levels[index] = level;
}

bool IsLower(char c) { return c >= 'a' && c <= 'z'; }
bool IsUpper(char c) { return c >= 'A' && c <= 'Z'; }

// InstallDir up to its n-th backslash, without it unless that leaves the root.
int32_t PathUpTo(const char* installDir, int32_t n, char* target)
{
    int32_t seen = 0;
    for (int32_t i = 0; installDir[i]; ++i) {
        if (installDir[i] != '\\' || ++seen < n)
            continue;
        int32_t length = i + 1 > RootLength ? i : i + 1;
        return TextCopyPart(target, PagePathSize, installDir, length) == 1 ? 1 : 0;
    }
    return 0;
}

}  // namespace

void CapitalizeWords(char* name)
{
    if (!name[0])
        return;
    if (IsLower(name[0]))
        name[0] = (char)(name[0] - 'a' + 'A');
    for (int32_t i = 1; name[i]; ++i) {
        char c = name[i];
        if (c == ' ' || c == '\\') {
            ++i;
            if (IsLower(name[i]))
                name[i] = (char)(name[i] - 'a' + 'A');
            if (!name[i])
                return;
        } else if (IsUpper(c)) {
            name[i] = (char)(c - 'A' + 'a');
        }
    }
}

bool EntryListed(uint32_t attributes, const char* name)
{
    return (attributes & EntryDirectory) && name[0] != '.' &&
           !(attributes & (EntryHidden | EntrySystem));
}

int32_t NextChainPart(const char* path, int32_t* position, char* part, int32_t capacity)
{
    int32_t start = *position;
    if (TextLength(path) <= start)
        return 0;
    int32_t end = start;
    while (path[end] && path[end] != '\\')
        ++end;
    TextCopyPart(part, capacity, path + start, end - start);
    *position = end + 1;
    return 1;
}

int32_t NavigationTarget(const char* installDir, int32_t listingDrives, int32_t currentItem,
                         int32_t index, const char* itemText, char* target, int32_t* driveView)
{
    *driveView = 0;
    if (index < 0)
        return 0;
    if (index == 0) {
        TextCopyPart(target, PagePathSize, installDir, RootLength);
        *driveView = listingDrives ? 0 : 1;
        return 1;
    }
    if (listingDrives)
        return TextCopy(target, PagePathSize, itemText) == 1 ? 1 : 0;
    if (index == currentItem)
        return 0;
    if (index > currentItem) {
        if (JoinPath(target, PagePathSize, installDir, itemText, Unquoted) != 1)
            return 0;
        return Listable(target) ? 1 : 0;
    }
    return PathUpTo(installDir, index, target);
}

int32_t IndentOf(const int32_t* levels, int32_t index)
{
    if (index < 0)
        return 0;
    // The last slot always holds the sub-folders' level.
    return levels[index < FolderIndentSlots ? index : FolderIndentSlots - 1];
}

int32_t FolderItemAnchor(int32_t itemLeft, int32_t level)
{
    return itemLeft + IndentPixels * level + 1;
}

int32_t FolderIconTop(int32_t itemTop, int32_t kind)
{
    return kind == HeaderItem ? itemTop + 1 : itemTop;
}

int32_t FolderItemImage(int32_t kind, int32_t index, int32_t currentItem)
{
    switch (kind) {
    case HeaderItem:
        return ComputerImage;
    case DriveItem:
        return DriveOwnImage;
    }
    return index == currentItem ? OpenFolderImage : ClosedFolderImage;
}

void ShowFolder(FolderPage& page, const char* path, int32_t driveView)
{
    char* current = page.Browser.InstallDir;
    TextCopy(current, FullPathSize, path);
    page.ShowPath(current);
    page.StartRebuild();
    if (driveView) {
        *page.Browser.ListingDrives = 1;
        ListDrives(page);
    } else {
        *page.Browser.ListingDrives = 0;
        ListFolders(page, current);
    }
    page.FinishRebuild();
}

void ListDrives(FolderPage& page)
{
    char roots[DriveStringsSize];
    for (int32_t i = 0; i < DriveStringsSize; ++i)
        roots[i] = 0;
    page.DriveRoots(roots, sizeof roots);
    for (int32_t at = 0; at < DriveStringsSize && roots[at];) {
        int32_t length = 0;
        while (at + length < DriveStringsSize && roots[at + length])
            ++length;
        if (at + length == DriveStringsSize)
            break;
        if (IsLower(roots[at]))
            roots[at] = (char)(roots[at] - 'a' + 'A');
        page.AddSortedItem(roots + at, DriveItem);
        at += length + 1;
    }
    page.InsertItem(0, DrivesHeader, HeaderItem);
    page.SetItemHeight(0, HeaderItemHeight);
    int32_t current = page.FindDrive(page.Browser.InstallDir);
    page.SelectItem(current);
    *page.Browser.CurrentFolderItem = current;
    int32_t* levels = page.Browser.IndentLevels;
    levels[0] = 0;
    SetLevels(levels, 1, 1);
}

void ListFolders(FolderPage& page, const char* path)
{
    char pattern[PagePathSize];
    if (JoinPath(pattern, sizeof pattern, path, SearchPattern, Unquoted) == 1 &&
        page.StartListing(pattern)) {
        uint32_t attributes = 0;
        char name[FullPathSize];
        while (page.NextEntry(&attributes, name, sizeof name)) {
            // A name the list's item buffers could not hold whole is left out.
            if (!EntryListed(attributes, name) || TextLength(name) >= PagePathSize)
                continue;
            CapitalizeWords(name);
            page.AddSortedItem(name, FolderItem);
        }
        page.EndListing();
    }
    int32_t* levels = page.Browser.IndentLevels;
    levels[0] = 0;
    page.InsertItem(0, FoldersHeader, HeaderItem);
    page.SetItemHeight(0, HeaderItemHeight);

    char part[PagePathSize];
    TextCopyPart(part, sizeof part, path, RootLength);
    SetLevel(levels, 1, 1);
    page.InsertItem(1, part, DriveItem);
    int32_t k = 1;
    int32_t position = RootLength;
    while (NextChainPart(path, &position, part, sizeof part)) {
        ++k;
        SetLevel(levels, k, k);
        page.InsertItem(k, part, FolderItem);
    }
    page.SelectItem(k);
    *page.Browser.CurrentFolderItem = k;
    SetLevels(levels, k + 1, k + 1);
}

void ResetFolder(FolderPage& page)
{
    char folder[PagePathSize];
    TextFormat(folder, sizeof folder, page.Product.DefaultFolderTemplate, page.Product.ProductName);
    if (TextCompare(page.Browser.InstallDir, folder) != 0)
        ShowFolder(page, folder, 0);
}

int32_t ValidateFolder(FolderPage& page)
{
    char text[FullPathSize];
    int32_t wholeLength = page.ReadPath(text, sizeof text);
    // Checked, shown and installed into as the system resolves it.
    char folder[FullPathSize];
    const char* refusal = FolderRefusal(text, wholeLength, page.Product);
    if (!refusal) {
        NormalizeFolder(folder, sizeof folder, text);
        refusal = FolderTrustRefusal(folder, page);
    }
    if (refusal) {
        char message[RefusalSize];
        TextFormat(message, sizeof message, refusal, RefusalPrefix);
        page.Warn(message);
        return -1;
    }
    ShowFolder(page, folder, 0);
    return 1;
}

void OpenItem(FolderPage& page)
{
    int32_t index = page.SelectedItem();
    if (index < 0)
        return;
    char text[PagePathSize];
    page.ReadItem(index, text, sizeof text);
    char target[PagePathSize];
    int32_t driveView = 0;
    if (NavigationTarget(page.Browser.InstallDir, *page.Browser.ListingDrives,
                         *page.Browser.CurrentFolderItem, index, text, target, &driveView) == 1)
        ShowFolder(page, target, driveView);
}
