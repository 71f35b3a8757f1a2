// The folder page's logic driven from the fuzz bytes: a product, the drive
// strings and one folder listing (which every folder gives), then a run of
// resets, double clicks and typed folders. The
// browser's buffers are heap blocks of exactly their sizes, so every overrun
// is reported; after each step the page's invariants are checked.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "manifest/paths.h"
#include "manifest/text.h"
#include "pages/copy_logic.h"
#include "pages/group_logic.h"
#include "pages/location_logic.h"

namespace {

void Require(bool holds)
{
    if (!holds)
        abort();
}

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

class FuzzedPage : public FolderPage {
public:
    using FolderPage::FolderPage;

    // Each kind of folder, by the length of its path.
    int32_t Standing(const char* folder) override { return (int32_t)(strlen(folder) % 4); }
    void ShowPath(const char* path) override { field = path; }
    int32_t ReadPath(char* output, int32_t capacity) override
    {
        return TextCopy(output, capacity, field.c_str()), (int32_t)strlen(field.c_str());
    }
    void Warn(const char*) override {}
    void StartRebuild() override { Require(!rebuilding), rebuilding = true, items.clear(); }
    void FinishRebuild() override { rebuilding = false; }
    void InsertItem(int32_t index, const char* text, int32_t) override
    {
        Require(rebuilding && index >= 0 && index <= (int32_t)items.size());
        items.insert(items.begin() + index, text);
    }
    void AddSortedItem(const char* text, int32_t) override
    {
        Require(rebuilding), items.push_back(text);
    }
    void SetItemHeight(int32_t index, int32_t) override { Require(index < (int32_t)items.size()); }
    // Which drive is current changes only its picture.
    int32_t FindDrive(const char*) override { return -1; }
    void SelectItem(int32_t index) override
    {
        Require(index >= -1 && index < (int32_t)items.size());
        selected = index;
    }
    int32_t SelectedItem() override { return selected; }
    void ReadItem(int32_t index, char* output, int32_t capacity) override
    {
        TextCopy(output, capacity, items.at(index).c_str());
    }
    void DriveRoots(char* output, int32_t capacity) override
    {
        memcpy(output, drives.data(), std::min(drives.size(), (size_t)capacity));
    }
    bool StartListing(const char* pattern) override
    {
        Require(!listing && memchr(pattern, 0, PagePathSize) != nullptr);
        return next = 0, listing = !entries.empty();
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) override
    {
        Require(listing);
        if (next >= entries.size())
            return false;
        *attributes = entries[next].first;
        return TextCopy(name, capacity, entries[next++].second.c_str()), true;
    }
    void EndListing() override { listing = false; }

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
        if (action == 2) {
            std::string typed = input.ConsumeRandomLengthString(300);
            page.field = typed;
            // An accepted folder is all that was typed, as the system
            // resolves it, everything the later steps build from it fits their
            // buffers, and its folder chain is planned down to the whole path.
            if (ValidateFolder(page) == 1) {
                const char* folder = installDir.data();
                char resolved[FullPathSize];
                Require(NormalizeFolder(resolved, sizeof resolved, typed.c_str()) == 1 &&
                        strcmp(resolved, folder) == 0);
                char path[128], command[CommandSize];  // path: as the expansion library opens it
                for (int32_t row = 0; row < Product.FileCount; ++row) {
                    const PayloadEntry& entry = Product.Payload[row];
                    Require(StoredPath(path, sizeof path, folder, entry.FileName) == 1);
                    Require(FormatAddItem(command, sizeof command, folder, entry.FileName,
                                          entry.Caption) > 0);
                }
                int32_t lengths[FullPathSize];
                int32_t planned = PlanFolderChain(folder, lengths, FullPathSize);
                Require(planned >= 1 && lengths[planned - 1] == (int32_t)strlen(folder));
            }
        }
        Require(memchr(installDir.data(), 0, FullPathSize) && !page.rebuilding && !page.listing);
        Require(current[0] >= -1 && current[0] < (int32_t)std::max<size_t>(page.items.size(), 1));
        // Any index has a level, the ones past the stored slots included.
        for (int32_t i : {-3, -1, 0, 1, FolderIndentSlots - 1, (int32_t)FolderIndentSlots, 1 << 30})
            Require(IndentOf(levels.data(), i) >= 0 &&
                    IndentOf(levels.data(), i) <= FolderIndentSlots);
    }
    return 0;
}
