// The folder page's logic driven through its page interface by a small
// script, one command a line:
//   Y<n>            the product (0 the sample, 1 a small one, 2 long names)
//   G<a>|<b>|...    the drive roots; g<bytes> the raw drive strings
//   F<folder>       a folder the file system can list ("*" answers any other)
//   E<attr> <name>  an entry of the last folder (attributes in hexadecimal)
//   M<n> <attr> <b> n entries named <b>0, <b>1, ... in the last folder
//   R               "Reset Folder"
//   K<i>            a single click on item i; D<i> a double click (D alone
//                   opens the selected item)
//   T<text>         typed into the field; V presses "Continue"
//   C<text>         re-cases text as the listing does
//   P<n> <path>     the copy page's plan of the folder chain, n slots
// The configuration lines are read first, the others then run in order. The
// installer state's buffers are heap blocks of exactly their sizes, so every
// overrun is reported; after each command the page's invariants are checked.
#include <strings.h>

#include <algorithm>
#include <cstdint>
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

const InstallManifest Products[] = {
    {"Cratewise", "Shareware\\Dornwick\\Programs\\%s\\%s", "Pellomark",
     "Software updates made easy!", "1.01", "C:\\Dornwick\\%s",
     {{"Quodgone.exe", "Purgeset", "Uninstall", 36864, 19894},
      {"Quodpost.exe", "Program", "Pellomark", 371712, 209925},
      {"Quodpost.hlp", "HelpFile", "Help", 15821, 9359},
      {"Read_me.txt", "ReadMe", "Read Me", 3850, 3850},
      {"", "", "", 0, 0}},
     4, 4},
    {"Cratewise", "Software\\Ashgrove\\%s\\%s", "Tinytally", "Counts", "0.9",
     "C:\\Ashgrove\\%s",
     {{"Tallygone.exe", "Remover", "Remove Tinytally", 0, 0},
      {"Tally.dat", "TallyData", "Tally Data", 0, 0},
      {"Tally.ini", "Settings", "Settings", 0, 0},
      {"ReadMe.txt", "ReadMe", "Read Me", 0, 0},
      {"Licence.txt", "Licence", "Licence", 0, 0}},
     5, 3},
    {"Cratewise", "Software\\V\\%s\\%s", "Longnames", "Long", "1", "D:\\%s",
     {{"Uninstall-it-no.exe", "A", "Remove it", 0, 0},
      {"Abcdefghijklmno.exe", "B", "A caption that takes all its 39 bytes..", 0, 0},
      {"Abcdefghijklmno.dat", "C", "C", 0, 0},
      {"Abcdefghijkl.txt", "D", "D", 0, 0},
      {"", "", "", 0, 0}},
     4, 4},
};

enum { EntryBudget = 3000, EntriesPerFolder = 700, ScriptCommands = 100 };

struct Entry {
    uint32_t attributes;
    std::string name;
};

struct Folder {
    std::string path;
    std::vector<Entry> entries;
};

struct Item {
    std::string text;
    int32_t kind;
    int32_t height;
};

bool SameNoCase(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

class ScriptedPage : public FolderPage {
public:
    ScriptedPage(const FolderBrowser& browser, const InstallManifest& product)
        : FolderPage(browser, product)
    {
    }

    void ShowPath(const char* path) override
    {
        Require(memchr(path, 0, FullPathSize) != nullptr);
        field = path;
        ++shown;
    }
    int32_t ReadPath(char* output, int32_t capacity) override
    {
        Require(capacity > 0);
        TextCopy(output, capacity, field.c_str());
        return (int32_t)strlen(field.c_str());
    }
    void Warn(const char* message) override { warnings.push_back(message); }

    void StartRebuild() override
    {
        Require(!rebuilding);
        rebuilding = true;
        ++rebuilds;
        items.clear();
        selected = -1;
    }
    void FinishRebuild() override
    {
        Require(rebuilding);
        rebuilding = false;
    }
    void InsertItem(int32_t index, const char* text, int32_t kind) override
    {
        Require(rebuilding && index >= 0 && index <= (int32_t)items.size());
        items.insert(items.begin() + index, Item{text, kind, 0});
    }
    void AddSortedItem(const char* text, int32_t kind) override
    {
        Require(rebuilding);
        auto at = std::upper_bound(items.begin(), items.end(), std::string(text),
                                   [](const std::string& t, const Item& item) {
                                       return strcasecmp(t.c_str(), item.text.c_str()) < 0;
                                   });
        items.insert(at, Item{text, kind, 0});
    }
    void SetItemHeight(int32_t index, int32_t height) override
    {
        Require(index >= 0 && index < (int32_t)items.size());
        items[index].height = height;
    }
    // After the header, then round to it, as the list box searches.
    int32_t FindDrive(const char* root) override
    {
        for (size_t step = 1; step <= items.size(); ++step) {
            size_t i = step % items.size();
            if (strcasecmp(items[i].text.c_str(), root) == 0)
                return (int32_t)i;
        }
        return -1;
    }
    void SelectItem(int32_t index) override
    {
        Require(index >= -1 && index < (int32_t)items.size());
        selected = index;
    }
    int32_t SelectedItem() override { return selected; }
    // An index the list does not hold reads as an empty text.
    void ReadItem(int32_t index, char* output, int32_t capacity) override
    {
        Require(capacity > 0);
        output[0] = 0;
        if (index >= 0 && index < (int32_t)items.size())
            TextCopy(output, capacity, items[index].text.c_str());
    }
    void DriveRoots(char* output, int32_t capacity) override
    {
        Require(capacity == DriveStringsSize);
        memcpy(output, drives.data(), std::min(drives.size(), (size_t)capacity));
    }
    bool StartListing(const char* pattern) override
    {
        Require(listing == nullptr);
        char expected[PagePathSize];
        Require(JoinPath(expected, sizeof expected, Browser.InstallDir, "*.*", 0) == 1);
        Require(strcmp(pattern, expected) == 0);
        ++listings;
        listed.clear();
        const Folder* any = nullptr;
        for (const Folder& folder : folders) {
            char own[FullPathSize * 2];
            if (folder.path == "*")
                any = &folder;
            else if (JoinPath(own, sizeof own, folder.path.c_str(), "*.*", 0) == 1
                     && SameNoCase(own, pattern))
                listing = &folder;
        }
        if (!listing)
            listing = any;
        next = 0;
        return listing != nullptr;
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) override
    {
        Require(listing != nullptr && capacity >= PagePathSize);
        // A budget per input keeps each run short; a listing cut by it is
        // still one the file system could give.
        if (next >= listing->entries.size() || handedOut >= EntryBudget)
            return false;
        ++handedOut;
        const Entry& entry = listing->entries[next++];
        *attributes = entry.attributes;
        TextCopy(name, capacity, entry.name.c_str());
        listed.push_back({entry.attributes, name});
        return true;
    }
    void EndListing() override
    {
        Require(listing != nullptr);
        listing = nullptr;
    }

    std::string field;
    std::vector<std::string> warnings;
    std::vector<Item> items;
    int32_t selected = -1;
    bool rebuilding = false;
    int rebuilds = 0;
    int shown = 0;
    int listings = 0;
    std::string drives;
    std::vector<Folder> folders;
    const Folder* listing = nullptr;
    size_t next = 0;
    size_t handedOut = 0;
    std::vector<Entry> listed;  // what the last listing handed out
};

// The browser's fields, each a heap block of its exact size.
struct HeldState {
    HeldState()
        : installDir((char*)malloc(FullPathSize)), currentItem((int32_t*)malloc(sizeof(int32_t))),
          listingDrives((int32_t*)malloc(sizeof(int32_t))),
          levels((int32_t*)malloc(FolderIndentSlots * sizeof(int32_t)))
    {
        TextCopy(installDir, FullPathSize, ".");
        *currentItem = 0;
        *listingDrives = 0;
        memset(levels, 0, FolderIndentSlots * sizeof(int32_t));
    }
    ~HeldState()
    {
        free(installDir);
        free(currentItem);
        free(listingDrives);
        free(levels);
    }
    FolderBrowser Browser() { return FolderBrowser{installDir, currentItem, listingDrives, levels}; }

    char* installDir;
    int32_t* currentItem;
    int32_t* listingDrives;
    int32_t* levels;
};

std::vector<std::string> Lines(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < size && lines.size() < 400) {
        const uint8_t* end = (const uint8_t*)memchr(data + at, '\n', size - at);
        size_t length = end ? (size_t)(end - (data + at)) : size - at;
        lines.emplace_back((const char*)data + at, length);
        at += length + 1;
    }
    return lines;
}

// A decimal number at the start of text, held to the 32-bit range; the rest
// after one blank in *rest.
bool Number(const std::string& text, int64_t* value, std::string* rest)
{
    size_t at = 0;
    bool negative = at < text.size() && text[at] == '-';
    at += negative;
    size_t digits = at;
    int64_t n = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        n = std::min<int64_t>(n * 10 + (text[at] - '0'), 1LL << 32);
        ++at;
    }
    if (at == digits)
        return false;
    *value = std::max<int64_t>(std::min<int64_t>(negative ? -n : n, INT32_MAX), INT32_MIN);
    if (rest)
        *rest = at < text.size() ? text.substr(at + 1) : std::string();
    return true;
}

uint32_t Hex(const std::string& text, std::string* rest)
{
    uint32_t value = 0;
    size_t at = 0;
    for (; at < text.size() && at < 8 && isxdigit((unsigned char)text[at]); ++at)
        value = value * 16 + (uint32_t)(isdigit((unsigned char)text[at])
                                            ? text[at] - '0'
                                            : (tolower((unsigned char)text[at]) - 'a' + 10));
    *rest = at < text.size() ? text.substr(at + 1) : std::string();
    return value;
}

std::string Recased(std::string name)
{
    std::vector<char> text(name.begin(), name.end());
    text.push_back(0);
    CapitalizeWords(text.data());
    return text.data();
}

// The chain of a path as the folder view shows it: the root, then each part
// between backslashes, no empty part after a final backslash.
std::vector<std::string> Chain(const std::string& path)
{
    std::vector<std::string> parts{path.substr(0, 3)};
    size_t at = 3;
    while (path.size() > at) {
        size_t slash = path.find('\\', at);
        size_t end = slash == std::string::npos ? path.size() : slash;
        parts.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

// The drive strings as the list takes them: each terminated one before the
// first empty one.
std::vector<std::string> Roots(const std::string& drives)
{
    std::vector<std::string> roots;
    std::string buffer = drives.substr(0, DriveStringsSize);
    buffer.resize(DriveStringsSize, 0);
    size_t at = 0;
    while (at < buffer.size() && buffer[at]) {
        size_t end = buffer.find('\0', at);
        if (end == std::string::npos)
            break;
        std::string root = buffer.substr(at, end - at);
        if (root[0] >= 'a' && root[0] <= 'z')
            root[0] = (char)(root[0] - 'a' + 'A');
        roots.push_back(root);
        at = end + 1;
    }
    return roots;
}

void CheckFolderView(const ScriptedPage& page, const HeldState& state)
{
    const std::string dir = state.installDir;
    const std::vector<Item>& items = page.items;
    std::vector<std::string> chain = Chain(dir);
    int32_t k = (int32_t)chain.size();
    Require((int32_t)items.size() >= k + 1);
    Require(items[0].text == "Folders" && items[0].kind == HeaderItem
            && items[0].height == HeaderItemHeight);
    Require(items[1].text == chain[0] && items[1].kind == DriveItem);
    for (int32_t i = 2; i <= k; ++i)
        Require(items[i].text == chain[i - 1] && items[i].kind == FolderItem);
    Require(*state.currentItem == k && page.selected == k);
    for (size_t i = 1; i < items.size(); ++i)
        Require(items[i].height == 0);

    // Below the chain: the listed, visible folders, re-cased, in the list's order.
    std::vector<std::string> expected;
    for (const Entry& entry : page.listed)
        if (EntryListed(entry.attributes, entry.name.c_str()) && entry.name.size() < PagePathSize)
            expected.push_back(Recased(entry.name));
    std::vector<std::string> found;
    for (size_t i = k + 1; i < items.size(); ++i) {
        Require(items[i].kind == FolderItem);
        if (i > (size_t)k + 1)
            Require(strcasecmp(items[i - 1].text.c_str(), items[i].text.c_str()) <= 0);
        found.push_back(items[i].text);
    }
    std::sort(expected.begin(), expected.end());
    std::sort(found.begin(), found.end());
    Require(found == expected);

    // One level per step from the root, the sub-folders one deeper still.
    Require(IndentOf(state.levels, 0) == 0);
    for (int32_t i = 1; i < (int32_t)items.size() + 2; ++i)
        Require(IndentOf(state.levels, i) == (i <= k ? i : k + 1));
    Require(IndentOf(state.levels, FolderIndentSlots - 1) == k + 1);
}

void CheckDriveView(const ScriptedPage& page, const HeldState& state)
{
    const std::vector<Item>& items = page.items;
    std::vector<std::string> roots = Roots(page.drives);
    Require(items.size() == roots.size() + 1);
    Require(items[0].text == "Drives" && items[0].kind == HeaderItem
            && items[0].height == HeaderItemHeight);
    std::vector<std::string> found;
    for (size_t i = 1; i < items.size(); ++i) {
        Require(items[i].kind == DriveItem && items[i].height == 0);
        found.push_back(items[i].text);
    }
    std::sort(roots.begin(), roots.end());
    std::sort(found.begin(), found.end());
    Require(found == roots);
    int32_t current = *state.currentItem;
    Require(current == page.selected);
    if (current < 0) {
        Require(current == -1);
        for (const Item& item : items)
            Require(!SameNoCase(item.text, state.installDir));
    } else {
        Require(current < (int32_t)items.size() && SameNoCase(items[current].text, state.installDir));
    }
    Require(IndentOf(state.levels, 0) == 0);
    for (int32_t i = 1; i < FolderIndentSlots + 2; ++i)
        Require(IndentOf(state.levels, i) == 1);
}

// What holds after every command.
void CheckAlways(const ScriptedPage& page, const HeldState& state)
{
    Require(memchr(state.installDir, 0, FullPathSize) != nullptr);
    Require(!page.rebuilding && page.listing == nullptr);
    Require(*state.listingDrives == 0 || *state.listingDrives == 1);
    // Any index has a level, the ones past the stored slots included.
    const int32_t probes[] = {-3, -1, 0, 1, FolderIndentSlots - 1, FolderIndentSlots, 1 << 30};
    for (int32_t i : probes) {
        int32_t level = IndentOf(state.levels, i);
        Require(level >= 0 && level <= FolderIndentSlots);
    }
}

// The list only changes in a rebuild, so its count stands for its items.
struct Snapshot {
    std::string installDir;
    std::string field;
    int32_t listingDrives;
    int32_t currentItem;
    int rebuilds;

    Snapshot(const ScriptedPage& page, const HeldState& state)
        : installDir(state.installDir), field(page.field), listingDrives(*state.listingDrives),
          currentItem(*state.currentItem), rebuilds(page.rebuilds)
    {
    }
    bool Unchanged(const ScriptedPage& page, const HeldState& state) const
    {
        return installDir == state.installDir && field == page.field
               && listingDrives == *state.listingDrives && currentItem == *state.currentItem
               && rebuilds == page.rebuilds;
    }
};

// A rebuild happened: exactly one, and the field shows the new folder.
void CheckRebuilt(const ScriptedPage& page, const HeldState& state, const Snapshot& before)
{
    Require(page.rebuilds == before.rebuilds + 1);
    Require(page.field == state.installDir);
    if (*state.listingDrives)
        CheckDriveView(page, state);
    else
        CheckFolderView(page, state);
}

void DoubleClick(ScriptedPage& page, HeldState& state, int32_t index)
{
    page.selected = index;
    Snapshot before(page, state);
    std::string text = index >= 0 && index < (int32_t)page.items.size() ? page.items[index].text : "";
    int32_t listingBefore = *state.listingDrives;
    OpenItem(page);
    if (page.rebuilds == before.rebuilds) {
        Require(before.Unchanged(page, state));
        // Only these leave everything as it was: no item, the current
        // folder itself, or a folder whose path the page cannot hold.
        char joined[PagePathSize];
        bool sub = !listingBefore && index > before.currentItem;
        Require(index < 0 || (!listingBefore && index == before.currentItem)
                || (sub && (JoinPath(joined, sizeof joined, before.installDir.c_str(), text.c_str(), 0) != 1
                            || JoinedSize(joined, "*.*", 0) > PagePathSize))
                || (!listingBefore && index > 0 && index < before.currentItem));
        return;
    }
    CheckRebuilt(page, state, before);
    const std::string now = state.installDir;
    const std::string& old = before.installDir;
    if (index == 0) {
        Require(now == old.substr(0, 3) && *state.listingDrives == !listingBefore);
    } else if (listingBefore) {
        Require(now == text && *state.listingDrives == 0);
    } else if (index > before.currentItem) {
        std::string expected = old + (old.empty() || old.back() != '\\' ? "\\" : "") + text;
        Require(now == expected && *state.listingDrives == 0);
    } else {
        // Up the chain: the path up to its index-th backslash, which is kept
        // only when that leaves the root.
        Require(index >= 1 && index < before.currentItem && *state.listingDrives == 0);
        Require(old.compare(0, now.size(), now) == 0);
        size_t cut = 0;
        int32_t seen = 0;
        for (size_t i = 0; i < old.size(); ++i)
            if (old[i] == '\\' && ++seen == index) {
                cut = i;
                break;
            }
        Require(seen == index && now == old.substr(0, cut + 1 > 3 ? cut : cut + 1));
    }
}

const char* const Refusals[] = {"Path may not be empty!", "Missing : or \\ in drive.",
                                "Path may not be a root drive...", "Path is too long."};

void Continue(ScriptedPage& page, HeldState& state)
{
    Snapshot before(page, state);
    std::string typed = page.field.c_str();
    size_t warned = page.warnings.size();
    int32_t result = ValidateFolder(page);
    int rule = typed.empty() ? 0 : (typed.size() < 3 || typed[1] != ':' || typed[2] != '\\') ? 1
             : typed.size() == 3 ? 2 : 3;
    if (result != 1) {
        Require(result == -1 && page.warnings.size() == warned + 1);
        Require(before.Unchanged(page, state));
        Require(page.warnings.back() == std::string(RefusalPrefix) + Refusals[rule]);
        return;
    }
    Require(rule == 3 && page.warnings.size() == warned);
    CheckRebuilt(page, state, before);
    // The folder taken is the whole text, and everything later steps build
    // from it fits their buffers.
    const char* dir = state.installDir;
    Require(typed == dir && typed.size() < FullPathSize);
    Require(DestinationFits(dir, page.Product));
    Require(FolderRefusal(dir, (int32_t)typed.size(), page.Product) == 0);
    char path[FullPathSize];
    for (int32_t row = 0; row < page.Product.FileCount; ++row) {
        const PayloadEntry& entry = page.Product.Payload[row];
        Require(StoredPath(path, 128, dir, entry.FileName) == 1);
        Require(JoinPath(path, sizeof path, dir, entry.FileName, 0) == 1);
        char command[CommandSize];
        Require(FormatAddItem(command, sizeof command, dir, entry.FileName, entry.Caption) > 0);
    }
    int32_t lengths[FullPathSize];
    int32_t levels = PlanFolderChain(dir, lengths, FullPathSize);
    Require(levels >= 1 && lengths[levels - 1] == (int32_t)typed.size());
}

void CheckRecasing(const std::string& line)
{
    std::vector<char> text(line.begin(), line.end());
    text.push_back(0);
    std::string before = text.data();
    CapitalizeWords(text.data());
    std::string after = text.data();
    Require(after.size() == before.size());
    auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    auto separator = [](char c) { return c == ' ' || c == '\\'; };
    for (size_t i = 0; i < before.size(); ++i) {
        if (!letter(before[i])) {
            Require(after[i] == before[i]);
            continue;
        }
        Require(tolower((unsigned char)after[i]) == tolower((unsigned char)before[i]));
        // A word's first letter is upper case, the letters after it lower.
        if (i == 0 || (i >= 2 && separator(before[i - 1]) && letter(before[i - 2])))
            Require(after[i] >= 'A' && after[i] <= 'Z');
        if (i >= 1 && letter(before[i - 1]))
            Require(after[i] >= 'a' && after[i] <= 'z');
    }
    std::vector<char> again(after.begin(), after.end());
    again.push_back(0);
    CapitalizeWords(again.data());
    Require(after == again.data());
}

void CheckPlan(const std::string& line)
{
    int64_t capacity = 0;
    std::string path;
    if (!Number(line, &capacity, &path) || capacity < 0 || capacity > 300)
        return;
    path = path.c_str();
    int32_t* lengths = (int32_t*)malloc((size_t)(capacity ? capacity : 1) * sizeof(int32_t));
    int32_t planned = PlanFolderChain(path.c_str(), lengths, (int32_t)capacity);
    Require(planned >= 0 && planned <= capacity);
    int32_t length = (int32_t)path.size();
    int32_t root = -1;
    for (int32_t i = length - 1; i > 0 && root < 0; --i)
        if (path[i] == '\\' && path[i - 1] == ':')
            root = i;
    int32_t below = 0;
    for (int32_t i = root + 1; i < length; ++i)
        below += path[i] == '\\';
    int32_t wanted = below + (root >= 0 ? 1 : 0);
    Require(planned == std::min<int32_t>(wanted, (int32_t)capacity));
    // Top down, each a folder below the root: a prefix ending just before a
    // backslash, the last (with a root) the whole path.
    for (int32_t i = 0; i < planned; ++i) {
        Require(lengths[i] > root && lengths[i] <= length);
        Require(i == 0 || lengths[i] > lengths[i - 1]);
        Require(lengths[i] == length || path[lengths[i]] == '\\');
    }
    if (root >= 0 && planned == wanted)
        Require(lengths[planned - 1] == length);
    free(lengths);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<std::string> lines = Lines(data, size);
    int product = 0;
    std::string drives("C:\\\0Z:\\\0\0", 9);
    std::vector<Folder> folders;
    for (const std::string& line : lines) {
        if (line.empty())
            continue;
        std::string rest = line.substr(1);
        int64_t n = 0;
        switch (line[0]) {
        case 'Y':
            if (Number(rest, &n, nullptr) && n >= 0 && n < 3)
                product = (int)n;
            break;
        case 'G':
            drives.clear();
            for (size_t at = 0; at <= rest.size();) {
                size_t bar = std::min(rest.find('|', at), rest.size());
                drives += rest.substr(at, bar - at);
                drives += '\0';
                at = bar + 1;
            }
            drives += '\0';
            break;
        case 'g':
            drives = rest;
            break;
        case 'F':
            if (folders.size() < 16)
                folders.push_back({rest, {}});
            break;
        case 'E':
            if (!folders.empty() && folders.back().entries.size() < EntriesPerFolder) {
                uint32_t attributes = Hex(rest, &rest);
                folders.back().entries.push_back({attributes, rest});
            }
            break;
        case 'M':
            if (!folders.empty() && Number(rest, &n, &rest) && n > 0) {
                uint32_t attributes = Hex(rest, &rest);
                for (int64_t i = 0; i < n && folders.back().entries.size() < EntriesPerFolder; ++i)
                    folders.back().entries.push_back({attributes, rest + std::to_string(i)});
            }
            break;
        }
    }

    HeldState state;
    ScriptedPage page(state.Browser(), Products[product]);
    page.drives = drives;
    page.folders = folders;

    int commands = 0;
    for (const std::string& line : lines) {
        if (line.empty() || ++commands > ScriptCommands)
            continue;
        std::string rest = line.substr(1);
        int64_t n = 0;
        switch (line[0]) {
        case 'R': {
            Snapshot before(page, state);
            ResetFolder(page);
            char folder[PagePathSize];
            TextFormat(folder, sizeof folder, page.Product.DefaultFolderTemplate,
                       page.Product.ProductName);
            Require(strcmp(state.installDir, folder) == 0);
            if (before.installDir == folder)
                Require(before.Unchanged(page, state));
            else
                CheckRebuilt(page, state, before);
            break;
        }
        case 'K':
            if (Number(rest, &n, nullptr))
                page.selected = (int32_t)n;
            break;
        case 'D':
            DoubleClick(page, state, Number(rest, &n, nullptr) ? (int32_t)n : page.selected);
            break;
        case 'T':
            page.field = rest;
            break;
        case 'V':
            Continue(page, state);
            break;
        case 'C':
            CheckRecasing(rest);
            break;
        case 'P':
            CheckPlan(rest);
            break;
        }
        CheckAlways(page, state);
    }
    return 0;
}
