// The folder page's logic driven from the fuzz bytes: a product, the drive
// strings and one folder listing (which every folder gives), then a run of
// resets, double clicks and typed folders. The browser's buffers are heap
// blocks of exactly their sizes, so every overrun is reported; after each
// step the page's invariants are checked.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/copy_logic.h"
#include "pages/location_logic.h"

namespace {

void Require(bool holds) { return holds ? void() : abort(); }

// Names and captions that take all their widths leave a typed folder least room.
const InstallManifest Product = {
    "Cratewise",
    "Software\\V\\%s\\%s",
    "Longnames",
    "Long",
    "1",
    "D:\\%s",
    {{"Uninstall-it-no.exe", "A", "Remove it", 0, 0},
     {"Abcdefghijklmno.exe", "B", "A caption that takes all its 39 bytes..", 0, 0},
     {"Abcdefghijklmno.dat", "C", "C", 0, 0},
     {"Abcdefghijkl.txt", "D", "D", 0, 0}},
    4,
    4};

// Each call is checked against the list's and the listing's state.
struct FuzzedPage : FolderPage {
    using FolderPage::FolderPage;
    // Each kind of folder, by the length of its path.
    int32_t Standing(const char* folder) { return (int32_t)(strlen(folder) % 4); }
    void ShowPath(const char* path) { field = path; }
    int32_t ReadPath(char* out, int32_t n) { return TextCopy(out, n, field.c_str()), field.size(); }
    void Warn(const char*) {}
    void StartRebuild() { Require(!rebuilding), rebuilding = true, items.clear(); }
    void FinishRebuild() { rebuilding = false; }
    void InsertItem(int32_t index, const char* text, int32_t)
    {
        Require(rebuilding && index >= 0 && index <= (int32_t)items.size());
        items.insert(items.begin() + index, text);
    }
    void AddSortedItem(const char* text, int32_t) { Require(rebuilding), items.push_back(text); }
    void SetItemHeight(int32_t index, int32_t) { Require(index < (int32_t)items.size()); }
    // Which drive is current changes only its picture.
    int32_t FindDrive(const char*) { return -1; }
    void SelectItem(int32_t i) { Require(i >= -1 && i < (int32_t)items.size()), selected = i; }
    int32_t SelectedItem() { return selected; }
    void ReadItem(int32_t i, char* out, int32_t n) { TextCopy(out, n, items.at(i).c_str()); }
    void DriveRoots(char* out, int32_t n) { drives.copy(out, n); }
    bool StartListing(const char* pattern)
    {
        Require(!listing && memchr(pattern, 0, PagePathSize));
        return next = 0, listing = !entries.empty();
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity)
    {
        Require(listing);
        return next < entries.size() &&
               (*attributes = entries[next].first,
                TextCopy(name, capacity, entries[next++].second.c_str()), true);
    }
    void EndListing() { listing = false; }

    std::string field, drives;
    std::vector<std::string> items;
    int32_t selected = -1;
    bool rebuilding = false, listing = false;
    std::vector<std::pair<uint8_t, std::string>> entries;  // of every folder
    size_t next = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<char> installDir(FullPathSize, 0);
    std::vector<int32_t> current(1, 0), listingDrives(1, 0), levels(FolderIndentSlots, 0);
    installDir[0] = '.';
    FuzzedPage page({installDir.data(), current.data(), listingDrives.data(), levels.data()},
                    Product);
    page.drives = input.ConsumeRandomLengthString(DriveStringsSize + 8);
    for (int n = input.ConsumeIntegralInRange(0, 40); n > 0; --n)
        page.entries.push_back(
            {input.ConsumeIntegral<uint8_t>(), input.ConsumeRandomLengthString(300)});

    for (int step = 0; step < 100 && input.remaining_bytes() > 0; ++step) {
        int32_t action = input.ConsumeIntegralInRange(0, 2);
        if (action == 0)
            ResetFolder(page);
        if (action == 1) {
            // A double click on any item, or on none.
            page.selected = input.ConsumeIntegralInRange<int32_t>(-1,
                                                                  (int32_t)page.items.size() - 1);
            OpenItem(page);
        }
        std::string typed = action == 2 ? input.ConsumeRandomLengthString(300) : "";
        // An accepted folder is all that was typed, as the system resolves
        // it; everything the later steps build from it fits their buffers,
        // and its folder chain is planned down to the whole path.
        if (action == 2 && (page.field = typed.c_str(), ValidateFolder(page) == 1)) {
            const char* folder = installDir.data();
            char resolved[FullPathSize], path[128];  // path: as the expansion library opens it
            Require(NormalizeFolder(resolved, sizeof resolved, typed.c_str()) == 1 &&
                    !strcmp(resolved, folder));
            for (int32_t row = 0; row < Product.FileCount; ++row)
                Require(StoredPath(path, sizeof path, folder, Product.Payload[row].FileName) == 1);
            int32_t lengths[FullPathSize], planned = PlanFolderChain(folder, lengths, FullPathSize);
            Require(planned >= 1 && lengths[planned - 1] == (int32_t)strlen(folder));
        }
        Require(memchr(installDir.data(), 0, FullPathSize) && !page.rebuilding && !page.listing);
        Require(current[0] >= -1 && current[0] < (int32_t)std::max<size_t>(page.items.size(), 1));
    }
    return 0;
}
