// The whole uninstall over a system kept in memory: what it reads, asks,
// removes, in which order, and what it tells.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "uninstall_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

using Lines = std::vector<std::string>;

const char* KindName(int32_t kind)
{
    switch (kind) {
    case BoxWarning:
        return "warning";
    case BoxError:
        return "error";
    case BoxQuestion:
        return "question";
    }
    return "information";
}

std::string Lower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return text;
}

bool Inside(const std::string& path, const std::string& folder)
{
    return Lower(path).rfind(Lower(folder) + "\\", 0) == 0;
}

struct Value {
    std::string data;
    uint32_t type;
};

// Files, folders and registry keys as sets of paths; a folder or key is
// empty when nothing else lies below it.
class FakeSystem : public UninstallPort {
public:
    std::map<std::string, Value> entry;  // the product's uninstall entry, by value name
    bool entryPresent = true;
    std::set<std::string> failingReads;  // values whose read fails (too long ...)
    std::set<std::string> files, folders, lockedFiles;
    std::set<std::string> keys;                 // below HKEY_LOCAL_MACHINE
    std::map<std::string, std::set<std::string>> keyValues;
    bool entryRemovable = true;
    int32_t groupOutcome = GroupDeleted;
    int32_t selfOutcome = SelfAfterExit;
    int32_t answer = 1;
    Lines log;
    std::string lastBox;

    void Record(const std::string& path, const std::string& text)
    {
        entry[path] = Value{text + std::string(1, '\0'), RegistryText};
    }

    int32_t ReadEntryValue(const char* product, const char* value, char* data, uint32_t capacity,
                           uint32_t* size, uint32_t* type) override
    {
        EXPECT_STREQ(product, "Pellomark");
        if (!entryPresent)
            return ReadMissing;
        if (failingReads.count(value))
            return ReadFailed;
        auto found = entry.find(value);
        if (found == entry.end())
            return ReadMissing;
        if (found->second.data.size() > capacity)
            return ReadFailed;
        memcpy(data, found->second.data.data(), found->second.data.size());
        *size = (uint32_t)found->second.data.size();
        *type = found->second.type;
        return ReadDone;
    }
    int32_t Ask(const char* text) override
    {
        log.push_back(std::string("ask: ") + text);
        return answer;
    }
    void Tell(const char* text, int32_t kind) override
    {
        log.push_back(std::string(KindName(kind)) + ": " + text);
        lastBox = text;
    }
    int32_t RemoveFile(const char* path) override
    {
        log.push_back(std::string("file ") + path);
        if (!files.count(path))
            return Missing;
        if (lockedFiles.count(path))
            return Kept;
        files.erase(path);
        return Removed;
    }
    int32_t RemoveFolder(const char* path) override
    {
        log.push_back(std::string("folder ") + path);
        if (!folders.count(path))
            return Missing;
        for (const std::string& f : files)
            if (Inside(f, path))
                return Kept;
        for (const std::string& f : folders)
            if (Inside(f, path))
                return Kept;
        folders.erase(path);
        return Removed;
    }
    int32_t SendGroupCommand(const char* command) override
    {
        log.push_back(std::string("progman ") + command);
        return groupOutcome;
    }
    int32_t RemoveEntry(const char* product) override
    {
        log.push_back(std::string("entry ") + product);
        if (!entryPresent)
            return Missing;
        if (!entryRemovable)
            return Kept;
        entryPresent = false;
        return Removed;
    }
    int32_t RemoveValue(const char* key, const char* value) override
    {
        log.push_back(std::string("value ") + key + " : " + value);
        if (!keys.count(key) || !keyValues[key].count(value))
            return Missing;
        keyValues[key].erase(value);
        return Removed;
    }
    int32_t RemoveKeyIfEmpty(const char* key) override
    {
        log.push_back(std::string("key ") + key);
        if (!keys.count(key))
            return Missing;
        if (!keyValues[key].empty())
            return Kept;
        for (const std::string& k : keys)
            if (Inside(k, key))
                return Kept;
        keys.erase(key);
        return Removed;
    }
    int32_t RemoveSelf(const char* fileName) override
    {
        log.push_back(std::string("self ") + fileName);
        return selfOutcome;
    }
};

const char Folder[] = "C:\\Dornwick\\Pellomark";
const char VersionKey[] = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";

// The state a completed installation of the sample leaves.
void Install(FakeSystem& system, const std::string& programPath = Folder,
             const std::string& group = "Pellomark")
{
    system.entryPresent = true;
    system.Record("DisplayName", "Pellomark Uninstall");
    system.Record("UninstallString", "C:\\WINDOWS\\Quodgone.exe");
    system.Record("Program Path", programPath);
    system.Record("Program Group", group);
    system.folders = {"C:\\Dornwick", Folder};
    system.files = {std::string(Folder) + "\\Quodpost.exe", std::string(Folder) + "\\Quodpost.hlp",
                    std::string(Folder) + "\\Read_me.txt"};
    system.keys = {"Shareware", "Shareware\\Dornwick", "Shareware\\Dornwick\\Programs",
                   "Shareware\\Dornwick\\Programs\\Pellomark", VersionKey};
    system.keyValues[VersionKey] = {"Program Version"};
}

Lines Expected(const std::string& folder = Folder)
{
    return {
        "file " + folder + "\\Quodpost.exe",
        "file " + folder + "\\Quodpost.hlp",
        "file " + folder + "\\Read_me.txt",
        "file " + folder + "\\Quodgone.ex_",
        "file " + folder + "\\Quodpost.ex_",
        "file " + folder + "\\Quodpost.hl_",
        "file " + folder + "\\Read_me.tx_",
    };
}

const char Question[] =
    "ask: This removes Pellomark from the folder\nC:\\Dornwick\\Pellomark\n\n"
    "Its program files, its program group and its registry entries are deleted. Files that "
    "you added to the folder are kept.\n\nRemove Pellomark now?";

TEST(RunUninstall, RemovesACompletedInstallationInOrder)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    ASSERT_EQ(RunUninstall(system, product), RunDone);
    Lines expected = {Question};
    for (const std::string& line : Expected())
        expected.push_back(line);
    for (const char* line : {
             "folder C:\\Dornwick\\Pellomark", "folder C:\\Dornwick",
             "progman [DeleteGroup(\"Pellomark\")]", "entry Pellomark",
             "value Shareware\\Dornwick\\Programs\\Pellomark\\Current Version : Program Version",
             "key Shareware\\Dornwick\\Programs\\Pellomark\\Current Version",
             "key Shareware\\Dornwick\\Programs\\Pellomark", "key Shareware\\Dornwick\\Programs",
             "key Shareware\\Dornwick", "key Shareware", "self Quodgone.exe",
             "information: Pellomark has been uninstalled.\n\nRemoved:\n"
             "- 3 program files from C:\\Dornwick\\Pellomark\n"
             "- the folder C:\\Dornwick\\Pellomark\n"
             "- its parent folder C:\\Dornwick\n"
             "- the program group \"Pellomark\"\n"
             "- its entries in the registry\n"
             "- the uninstaller Quodgone.exe, once this box is closed"})
        expected.push_back(line);
    EXPECT_EQ(system.log, expected);
    EXPECT_TRUE(system.files.empty());
    EXPECT_TRUE(system.folders.empty());
    EXPECT_TRUE(system.keys.empty());
    EXPECT_FALSE(system.entryPresent);
}

TEST(RunUninstall, AFolderRecordedWithAFinalBackslashIsTheSame)
{
    InstallManifest product = SampleProduct();
    FakeSystem plain, slashed;
    Install(plain);
    Install(slashed, std::string(Folder) + "\\");
    EXPECT_EQ(RunUninstall(plain, product), RunDone);
    EXPECT_EQ(RunUninstall(slashed, product), RunDone);
    EXPECT_EQ(slashed.log, plain.log);
}

struct NotInstalledCase {
    const char* name;
    void (*arrange)(FakeSystem&);
};

class NotInstalledTest : public ::testing::TestWithParam<NotInstalledCase> {};

TEST_P(NotInstalledTest, SaysSoAndChangesNothing)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    GetParam().arrange(system);
    EXPECT_EQ(RunUninstall(system, product), RunNotInstalled);
    EXPECT_EQ(system.log, (Lines{"warning: Pellomark is not installed on this computer.\n"
                                 "Nothing was changed."}));
    EXPECT_EQ(system.files.size(), 3u);
    EXPECT_EQ(system.keys.size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Entries, NotInstalledTest, ::testing::Values(
    NotInstalledCase{"NoEntry", [](FakeSystem& s) { s.entryPresent = false; }},
    NotInstalledCase{"NoPath", [](FakeSystem& s) { s.entry.erase("Program Path"); }},
    NotInstalledCase{"EmptyPath", [](FakeSystem& s) { s.Record("Program Path", ""); }},
    NotInstalledCase{"Root", [](FakeSystem& s) { s.Record("Program Path", "C:\\"); }},
    NotInstalledCase{"RootWithDots", [](FakeSystem& s) { s.Record("Program Path", "C:\\Apps\\..\\"); }},
    NotInstalledCase{"Relative", [](FakeSystem& s) { s.Record("Program Path", "Dornwick\\Pellomark"); }},
    NotInstalledCase{"DriveRelative", [](FakeSystem& s) { s.Record("Program Path", "C:Pellomark"); }},
    NotInstalledCase{"TooLongToRead", [](FakeSystem& s) { s.failingReads.insert("Program Path"); }},
    NotInstalledCase{"TooLongToJoin", [](FakeSystem& s) {
        s.Record("Program Path", "C:\\" + std::string(250, 'a'));
    }},
    NotInstalledCase{"NotAText", [](FakeSystem& s) { s.entry["Program Path"].type = 2; }},
    NotInstalledCase{"NoZero", [](FakeSystem& s) {
        s.entry["Program Path"].data = "C:\\Dornwick\\Pellomark";
    }}),
    [](const ::testing::TestParamInfo<NotInstalledCase>& info) { return info.param.name; });

TEST(RunUninstall, ANoChangesNothing)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.answer = 0;
    EXPECT_EQ(RunUninstall(system, product), RunDeclined);
    EXPECT_EQ(system.log, (Lines{Question}));
    EXPECT_EQ(system.files.size(), 3u);
}

TEST(RunUninstall, KeepsAFolderThatHoldsTheUsersFilesAndSaysSo)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.files.insert(std::string(Folder) + "\\My notes.txt");
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_EQ(system.files, (std::set<std::string>{std::string(Folder) + "\\My notes.txt"}));
    EXPECT_EQ(system.folders, (std::set<std::string>{"C:\\Dornwick", Folder}));
    // The parent is not even tried.
    Lines log = system.log;
    EXPECT_EQ(std::count(log.begin(), log.end(), "folder C:\\Dornwick"), 0);
    EXPECT_EQ(system.lastBox,
              "Pellomark has been uninstalled.\n\nRemoved:\n"
              "- 3 program files from C:\\Dornwick\\Pellomark\n"
              "- the program group \"Pellomark\"\n"
              "- its entries in the registry\n"
              "- the uninstaller Quodgone.exe, once this box is closed\n\nLeft in place:\n"
              "- the folder C:\\Dornwick\\Pellomark, which holds files that Pellomark did not "
              "install");
    EXPECT_FALSE(system.entryPresent);
}

TEST(RunUninstall, KeepsADestinationThatExistedWithOtherFiles)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system, "D:\\Apps\\Tools\\");
    system.folders = {"D:\\Apps", "D:\\Apps\\Tools"};
    system.files = {"D:\\Apps\\Tools\\Quodpost.exe", "D:\\Apps\\Tools\\Quodpost.hlp",
                    "D:\\Apps\\Tools\\Read_me.txt", "D:\\Apps\\Tools\\Other.exe"};
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_EQ(system.files, (std::set<std::string>{"D:\\Apps\\Tools\\Other.exe"}));
    EXPECT_EQ(system.folders, (std::set<std::string>{"D:\\Apps", "D:\\Apps\\Tools"}));
}

TEST(RunUninstall, RemovesWhatAFailedInstallationLeft)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.files = {std::string(Folder) + "\\Quodpost.exe", std::string(Folder) + "\\Quodgone.ex_",
                    std::string(Folder) + "\\Quodpost.hl_", std::string(Folder) + "\\Read_me.tx_"};
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_TRUE(system.files.empty());
    EXPECT_TRUE(system.folders.empty());
    EXPECT_NE(system.lastBox.find("- 1 program file from C:\\Dornwick\\Pellomark\n"
                                  "- 3 stored copies left by an unfinished installation\n"),
              std::string::npos)
        << system.lastBox;
}

TEST(RunUninstall, AFileInUseStopsItBeforeTheEntryGoes)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.lockedFiles = {std::string(Folder) + "\\Quodpost.hlp"};
    EXPECT_EQ(RunUninstall(system, product), RunFilesKept);
    Lines expected = {Question};
    for (const std::string& line : Expected())
        expected.push_back(line);
    expected.push_back("error: Unable to remove C:\\Dornwick\\Pellomark\\Quodpost.hlp!\n\n"
                       "It may be in use. Close Pellomark and uninstall it again to remove the "
                       "rest.");
    EXPECT_EQ(system.log, expected);
    EXPECT_TRUE(system.entryPresent);
    EXPECT_EQ(system.keys.size(), 5u);

    // Once the file is free, a second run removes the rest.
    system.lockedFiles.clear();
    system.log.clear();
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_TRUE(system.files.empty());
    EXPECT_FALSE(system.entryPresent);
    EXPECT_NE(system.lastBox.find("- 1 program file from"), std::string::npos);
}

struct GroupRunCase {
    const char* name;
    void (*arrange)(FakeSystem&);
    const char* command;  // 0: none sent
    const char* box;      // 0: none before the summary
    const char* summaryLine;
};

class GroupRunTest : public ::testing::TestWithParam<GroupRunCase> {};

TEST_P(GroupRunTest, GoesOnWithoutTheGroup)
{
    const GroupRunCase& c = GetParam();
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    c.arrange(system);
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    Lines sent, boxes;
    for (const std::string& line : system.log) {
        if (line.rfind("progman ", 0) == 0)
            sent.push_back(line.substr(8));
        if (line.rfind("warning: ", 0) == 0 || line.rfind("error: ", 0) == 0)
            boxes.push_back(line);
    }
    EXPECT_EQ(sent, c.command ? Lines{c.command} : Lines{});
    EXPECT_EQ(boxes, c.box ? Lines{c.box} : Lines{});
    EXPECT_NE(system.lastBox.find(c.summaryLine), std::string::npos) << system.lastBox;
    // Everything else is removed all the same.
    EXPECT_TRUE(system.files.empty());
    EXPECT_TRUE(system.keys.empty());
    EXPECT_FALSE(system.entryPresent);
    EXPECT_EQ(system.log.back().rfind("information: ", 0), 0u);
}

INSTANTIATE_TEST_SUITE_P(Groups, GroupRunTest, ::testing::Values(
    GroupRunCase{"Unreachable", [](FakeSystem& s) { s.groupOutcome = GroupUnreachable; },
                 "[DeleteGroup(\"Pellomark\")]",
                 "error: Unable to connect with Windows Explorer to remove the program group "
                 "\"Pellomark\"!\nThe rest of Pellomark is removed all the same.",
                 "Left in place:\n- the program group \"Pellomark\""},
    GroupRunCase{"Refused", [](FakeSystem& s) { s.groupOutcome = GroupRefused; },
                 "[DeleteGroup(\"Pellomark\")]", nullptr,
                 "Left in place:\n- the program group \"Pellomark\", if it is still there: "
                 "Windows Explorer did not delete it"},
    GroupRunCase{"Quoted", [](FakeSystem& s) { s.Record("Program Group", "Pello\")][x(\""); },
                 nullptr,
                 "warning: The program group \"Pello\")][x(\"\" has a name that cannot be sent "
                 "to Windows Explorer, so it is left in place.",
                 "Left in place:\n- the program group \"Pello\")][x(\"\""},
    GroupRunCase{"TooLong", [](FakeSystem& s) { s.failingReads.insert("Program Group"); },
                 nullptr,
                 "warning: The program group recorded for Pellomark cannot be read, so it is "
                 "left in place.",
                 "Left in place:\n- the program group recorded for it"},
    GroupRunCase{"NotAText", [](FakeSystem& s) { s.entry["Program Group"].type = 3; },
                 nullptr,
                 "warning: The program group recorded for Pellomark cannot be read, so it is "
                 "left in place.",
                 "Left in place:\n- the program group recorded for it"},
    GroupRunCase{"NotRecorded", [](FakeSystem& s) { s.entry.erase("Program Group"); },
                 nullptr, nullptr, "- its entries in the registry"},
    GroupRunCase{"Empty", [](FakeSystem& s) { s.Record("Program Group", ""); },
                 nullptr, nullptr, "- its entries in the registry"}),
    [](const ::testing::TestParamInfo<GroupRunCase>& info) { return info.param.name; });

TEST(RunUninstall, KeysOfOtherProductsKeepTheirParents)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.keys.insert("Shareware\\Dornwick\\Programs\\Quodlist\\Current Version");
    system.keys.insert("Shareware\\Dornwick\\Programs\\Quodlist");
    system.keyValues[VersionKey].insert("winC");
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    // The product's own values stay, and so does their key.
    EXPECT_TRUE(system.keys.count(VersionKey));
    EXPECT_EQ(system.keyValues[VersionKey], (std::set<std::string>{"winC"}));
    Lines keyLines;
    for (const std::string& line : system.log)
        if (line.rfind("key ", 0) == 0)
            keyLines.push_back(line);
    EXPECT_EQ(keyLines, (Lines{"key Shareware\\Dornwick\\Programs\\Pellomark\\Current Version"}));

    // Without them, the walk stops at the vendor's key that another product uses.
    system.keyValues[VersionKey].clear();
    Install(system);
    system.keys.insert("Shareware\\Dornwick\\Programs\\Quodlist");
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_EQ(system.keys, (std::set<std::string>{"Shareware", "Shareware\\Dornwick",
                                                  "Shareware\\Dornwick\\Programs",
                                                  "Shareware\\Dornwick\\Programs\\Quodlist"}));
}

TEST(RunUninstall, AnEntryThatStaysKeepsTheUninstaller)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.entryRemovable = false;
    EXPECT_EQ(RunUninstall(system, product), RunDone);
    EXPECT_EQ(std::count(system.log.begin(), system.log.end(), "self Quodgone.exe"), 0);
    EXPECT_NE(system.lastBox.find("Left in place:\n- its uninstall entry in the registry, and "
                                  "the uninstaller Quodgone.exe"),
              std::string::npos)
        << system.lastBox;
    EXPECT_EQ(system.lastBox.find("- its entries in the registry"), std::string::npos);
}

struct SelfCase {
    int32_t outcome;
    const char* line;  // 0: not named
    const char* absent;
};

class SelfSummaryTest : public ::testing::TestWithParam<SelfCase> {};

TEST_P(SelfSummaryTest, TellsWhenTheUninstallerGoes)
{
    InstallManifest product = SampleProduct();
    FakeSystem system;
    Install(system);
    system.selfOutcome = GetParam().outcome;
    RunUninstall(system, product);
    if (GetParam().line) {
        EXPECT_NE(system.lastBox.find(GetParam().line), std::string::npos) << system.lastBox;
    }
    EXPECT_EQ(system.lastBox.find(GetParam().absent), std::string::npos) << system.lastBox;
}

INSTANTIATE_TEST_SUITE_P(Self, SelfSummaryTest, ::testing::Values(
    SelfCase{SelfAfterExit, "\n- the uninstaller Quodgone.exe, once this box is closed", "Left in place"},
    SelfCase{SelfAtRestart, "\n- the uninstaller Quodgone.exe, when Windows restarts", "Left in place"},
    SelfCase{SelfMissing, nullptr, "Quodgone.exe"},
    SelfCase{SelfKept, "Left in place:\n- the uninstaller Quodgone.exe", "once this box"}));

TEST(FormatSummary, NeverWritesPastItsBuffer)
{
    InstallManifest product = SampleProduct();
    UninstallReport report = {};
    report.FilesRemoved = 3;
    report.Folder = Kept;
    report.Group = GroupWasUnreachable;
    report.Entry = Removed;
    report.Self = SelfAfterExit;
    std::string folder = "C:\\" + std::string(250, 'f');
    char whole[MessageSize];
    int32_t length = FormatSummary(whole, sizeof whole, report, product, folder.c_str(), "G");
    ASSERT_GT(length, 0);
    EXPECT_EQ((size_t)length, strlen(whole));
    for (int32_t capacity : {1, 10, 40, 300, length}) {
        std::vector<char> out(capacity + 16, 'x');
        EXPECT_EQ(FormatSummary(out.data(), capacity, report, product, folder.c_str(), "G"), -1);
        EXPECT_LT(strlen(out.data()), (size_t)capacity);
        EXPECT_EQ(out[capacity], 'x');
        // What it kept is the start of the whole text, marked as cut.
        std::string kept = out.data();
        if (kept.size() > 4) {
            EXPECT_EQ(kept.substr(kept.size() - 4), "\n...");
            EXPECT_EQ(std::string(whole).rfind(kept.substr(0, kept.size() - 4), 0), 0u);
        }
    }
    EXPECT_EQ(FormatSummary(whole, length + 1, report, product, folder.c_str(), "G"), length);
}

} // namespace
