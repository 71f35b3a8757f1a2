// The destination folder browser: one list that shows either the drives or
// the chain of the current folder with its sub-folders, an edit field with
// the folder's path, and the rules for accepting a typed folder. The page
// supplies the window and file system calls through FolderPage.
#ifndef CRATEWISE_LOCATION_LOGIC_H
#define CRATEWISE_LOCATION_LOGIC_H

#include <stdint.h>

#include "../manifest/folders.h"
#include "../manifest/manifest.h"

// Item data of the list items; compared for equality.
enum FolderItemKind { HeaderItem = 1, DriveItem = 2, FolderItem = 4 };

enum {
    FolderIndentSlots = 500,
    HeaderItemHeight = 18,
    IndentPixels = 8,
    DriveStringsSize = 105,
    RefusalSize = 80,
    ComputerImage = 15,
    OpenFolderImage = 4,
    ClosedFolderImage = 3,
    // The picture of a drive item is the drive's own, asked of the shell.
    DriveOwnImage = -1
};

// The attribute bits of a directory entry that the listing looks at, with
// the values the file system reports them by.
enum : uint32_t { EntryHidden = 0x2, EntrySystem = 0x4, EntryDirectory = 0x10 };

// The installer-state fields the browser keeps.
struct FolderBrowser {
    char* InstallDir;            // FullPathSize bytes
    int32_t* CurrentFolderItem;  // the current folder's (or drive's) item, or -1
    int32_t* ListingDrives;      // 1 in the drive view, 0 in the folder view
    int32_t* IndentLevels;       // FolderIndentSlots entries
};

// What the browser needs of the page and the system.
class FolderPage : public FolderProbe {
public:
    FolderPage(const FolderBrowser& browser, const InstallManifest& product)
        : Browser(browser), Product(product)
    {
    }

    // The edit field.
    virtual void ShowPath(const char* path) = 0;
    // Reads at most capacity - 1 characters; returns the field's whole length.
    virtual int32_t ReadPath(char* output, int32_t capacity) = 0;
    // A warning box owned by the page; returns once it is dismissed.
    virtual void Warn(const char* message) = 0;

    // The list, rebuilt between these two with its painting off and the
    // hourglass showing; StartRebuild empties it.
    virtual void StartRebuild() = 0;
    virtual void FinishRebuild() = 0;
    virtual void InsertItem(int32_t index, const char* text, int32_t kind) = 0;
    // Added where the list's own sorting puts it.
    virtual void AddSortedItem(const char* text, int32_t kind) = 0;
    virtual void SetItemHeight(int32_t index, int32_t height) = 0;
    // The item after the header whose text equals root, ignoring case; -1 if none.
    virtual int32_t FindDrive(const char* root) = 0;
    virtual void SelectItem(int32_t index) = 0;
    virtual int32_t SelectedItem() = 0;
    virtual void ReadItem(int32_t index, char* output, int32_t capacity) = 0;

    // The roots of the logical drives, each terminated, the list ended by an
    // empty string; nothing is written past capacity.
    virtual void DriveRoots(char* output, int32_t capacity) = 0;
    // A folder's entries for a search pattern; false when none can be read.
    virtual bool StartListing(const char* pattern) = 0;
    virtual bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) = 0;
    virtual void EndListing() = 0;

    FolderBrowser Browser;
    const InstallManifest& Product;

protected:
    ~FolderPage() {}
};

// Back to the default folder, unless the browser is there already.
void ResetFolder(FolderPage& page);
// Checks the typed folder; 1 when accepted (and shown), -1 after a warning.
int32_t ValidateFolder(FolderPage& page);
// A double click on the selected item.
void OpenItem(FolderPage& page);
// Makes path the current folder (or drive) and rebuilds the list.
void ShowFolder(FolderPage& page, const char* path, int32_t driveView);
void ListDrives(FolderPage& page);
void ListFolders(FolderPage& page, const char* path);

// First letter of each word upper case, the rest lower case, in place.
void CapitalizeWords(char* name);

// Whether a directory entry is listed as a sub-folder.
bool EntryListed(uint32_t attributes, const char* name);

// The next component of a path after its root, starting with position 3;
// 0 when there is none left.
int32_t NextChainPart(const char* path, int32_t* position, char* part, int32_t capacity);

// Where a double click on item index leads: 1 with the new path (PagePathSize
// bytes) and view, or 0 when nothing is to happen.
int32_t NavigationTarget(const char* installDir, int32_t listingDrives, int32_t currentItem,
                         int32_t index, const char* itemText, char* target, int32_t* driveView);

// Indentation of an item; items past the stored levels are sub-folders.
int32_t IndentOf(const int32_t* levels, int32_t index);

// Item painting geometry: where the picture (and the text rectangle, from
// anchor + 20) goes, and which system image it shows.
int32_t FolderItemAnchor(int32_t itemLeft, int32_t level);
int32_t FolderIconTop(int32_t itemTop, int32_t kind);
int32_t FolderItemImage(int32_t kind, int32_t index, int32_t currentItem);

#endif
