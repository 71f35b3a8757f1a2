// The whole uninstall over a system kept in memory: what it reads, asks,
// removes, in which order, and what it tells.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "sample_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

struct Value {
    std::string data;
    uint32_t type;
};

bool HoldsAny(const std::set<std::string>& paths, const std::string& folder)
{
    return std::any_of(paths.begin(), paths.end(), [&](const std::string& path) {
        return strncasecmp(path.c_str(), (folder + "\\").c_str(), folder.size() + 1) == 0;
    });
}

const std::string Folder = "C:\\Dornwick\\Pellomark";
const std::string VersionKey = "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version";

// Files, folders and keys as sets of paths; a folder or key is empty when
// nothing lies below it. Starts as a completed installation of the sample.
class FakeSystem : public UninstallPort {
public:
    FakeSystem()
    {
        Record("Program Path", Folder);
        Record("Program Group", "Pellomark");
    }
    void Record(const char* name, const std::string& text)
    {
        entry[name] = {text + '\0', RegistryText};
    }

    ReadOutcome ReadEntryValue(const char*, const char* value, char* data, uint32_t capacity,
                               uint32_t* size, uint32_t* type) override
    {
        if (!entryPresent || !entry.count(value))
            return ReadMissing;
        const Value& found = entry[value];
        if (failingReads.count(value) || found.data.size() > capacity)
            return ReadFailed;
        memcpy(data, found.data.data(), found.data.size());
        *size = (uint32_t)found.data.size();
        *type = found.type;
        return ReadDone;
    }
    int32_t Standing(const char* folder) override
    {
        return links.count(folder)     ? FolderIsLink
               : others.count(folder)  ? FolderOwnedByOthers
               : folders.count(folder) ? FolderOwnedSafely
                                       : FolderMissing;
    }
    bool Ask(const char* text) override { return Log("ask: ", text, answer); }
    void Tell(const char* text, BoxKind kind) override
    {
        Log(kind == BoxInformation ? "told: " : "warned: ", text, 0);
        lastBox = text;
    }
    RemovalOutcome RemoveFile(const char* path) override
    {
        return Log("file ", path,
                   locked.count(path)  ? Kept
                   : files.erase(path) ? Removed
                                       : Missing);
    }
    RemovalOutcome RemoveFolder(const char* path) override
    {
        RemovalOutcome outcome = !folders.count(path)                               ? Missing
                                 : HoldsAny(files, path) || HoldsAny(folders, path) ? Kept
                                                                                    : Removed;
        folders.erase(outcome == Removed ? path : "");
        return Log("folder ", path, outcome);
    }
    void AllowDdeReplies() override { log.push_back("allow replies"); }
    bool OpenProgramManager() override { return Log("open ", "progman", progmanOpens); }
    GroupOutcome SendGroupCommand(const char* command) override
    {
        return Log("progman ", command,
                   strstr(command, refusing.c_str()) ? GroupRefused : GroupDeleted);
    }
    void CloseProgramManager() override { log.push_back("close progman"); }
    bool GroupHoldsOthers(const char* group) override { return Log("look in ", group, shared); }
    RemovalOutcome RemoveEntry(const char* product) override
    {
        entryPresent = entryOutcome == Kept;
        return Log("entry ", product, entryOutcome);
    }
    RemovalOutcome RemoveValue(const char* key, const char* value) override
    {
        return Log("value ", value, key == VersionKey && values.erase(value) ? Removed : Missing);
    }
    RemovalOutcome RemoveKeyIfEmpty(const char* key) override
    {
        bool holds = HoldsAny(keys, key) || (key == VersionKey && !values.empty());
        RemovalOutcome outcome = !keys.count(key) ? Missing : holds ? Kept : Removed;
        keys.erase(outcome == Removed ? key : "");
        return Log("key ", key, outcome);
    }
    SelfOutcome RemoveSelf(const char* name) override { return Log("self ", name, selfOutcome); }

    template <typename Outcome>
    Outcome Log(const char* what, const std::string& text, Outcome outcome)
    {
        log.push_back(what + text);
        return outcome;
    }

    std::map<std::string, Value> entry;
    bool entryPresent = true;
    RemovalOutcome entryOutcome = Removed;
    std::set<std::string> failingReads, locked;
    std::set<std::string> folders = {"C:\\Dornwick", Folder};
    std::set<std::string> links, others;  // folders that are links, or another user's
    std::set<std::string> files = {Folder + "\\Quodpost.exe", Folder + "\\Quodpost.hlp",
                                   Folder + "\\Read_me.txt"};
    std::set<std::string> keys = {"Shareware", "Shareware\\Dornwick",
                                  "Shareware\\Dornwick\\Programs",
                                  "Shareware\\Dornwick\\Programs\\Pellomark", VersionKey};
    std::set<std::string> values = {"Program Version"};  // of the version key
    bool progmanOpens = true, answer = true;
    SelfOutcome selfOutcome = SelfAfterExit;
    bool shared = false;                  // the group holds another program's shortcut
    std::string refusing = "no command";  // Program Manager refuses commands holding this
    std::vector<std::string> log;
    std::string lastBox;
};

const char OwnItems[] =
    "[ShowGroup(\"Pellomark\",7)][DeleteItem(\"Uninstall\")]"
    "[DeleteItem(\"Pellomark\")][DeleteItem(\"Help\")][DeleteItem(\"Read Me\")]";

const std::string Removed3 = "Pellomark has been uninstalled.\n\nRemoved:\n"
                             "- 3 program files from C:\\Dornwick\\Pellomark\n";
const std::string GroupAndRest = "- the program group \"Pellomark\"\n"
                                 "- its entries in the registry\n"
                                 "- the uninstaller Quodgone.exe, once this box is closed";

TEST(RunUninstall, RemovesACompletedInstallationInOrder)
{
    FakeSystem system;
    ASSERT_EQ(RunUninstall(system, Sample), RunDone);
    std::vector<std::string> expected = {
        "ask: This removes Pellomark from the folder\nC:\\Dornwick\\Pellomark\n\n"
        "Its program files, its program group and its registry entries are deleted. Files "
        "that you added to the folder are kept.\n\nRemove Pellomark now?"};
    for (const char* name : {"Quodpost.exe", "Quodpost.hlp", "Read_me.txt", "Quodgone.ex_",
                             "Quodpost.ex_", "Quodpost.hl_", "Read_me.tx_"})
        expected.push_back("file " + Folder + "\\" + name);
    expected.insert(expected.end(), {"folder " + Folder, "folder C:\\Dornwick", "allow replies",
                                     "open progman", "progman [ShowGroup(\"Pellomark\",7)]"});
    for (const char* item : {"Uninstall", "Pellomark", "Help", "Read Me"})
        expected.push_back(std::string("progman [DeleteItem(\"") + item + "\")]");
    expected.insert(expected.end(), {"look in Pellomark", "progman [DeleteGroup(\"Pellomark\")]",
                                     "close progman", "entry Pellomark", "value Program Version"});
    for (const std::string& key :
         {VersionKey, std::string("Shareware\\Dornwick\\Programs\\Pellomark"),
          std::string("Shareware\\Dornwick\\Programs"), std::string("Shareware\\Dornwick"),
          std::string("Shareware")})
        expected.push_back("key " + key);
    expected.insert(
        expected.end(),
        {"self Quodgone.exe", "told: " + Removed3 +
                                  "- the folder "
                                  "C:\\Dornwick\\Pellomark\n- its parent folder C:\\Dornwick\n" +
                                  GroupAndRest});
    EXPECT_EQ(system.log, expected);
    EXPECT_TRUE(system.files.empty() && system.folders.empty() && system.keys.empty());
    EXPECT_FALSE(system.entryPresent);
}

TEST(RunUninstall, WithoutATrustedFolderSaysNotInstalledAndChangesNothing)
{
    void (*const cases[])(FakeSystem&) = {
        [](FakeSystem& s) { s.entryPresent = false; },
        [](FakeSystem& s) { s.entry.erase("Program Path"); },
        [](FakeSystem& s) { s.Record("Program Path", "C:\\Apps\\..\\"); },
        [](FakeSystem& s) { s.failingReads.insert("Program Path"); },
        [](FakeSystem& s) { s.entry["Program Path"].type = 2; },
        [](FakeSystem& s) { s.answer = false; },
    };
    for (auto arrange : cases) {
        FakeSystem system;
        arrange(system);
        bool declined = !system.answer;
        EXPECT_EQ(RunUninstall(system, Sample), declined ? RunDeclined : RunNotInstalled);
        EXPECT_EQ(system.log.size(), 1u);
        EXPECT_EQ(system.log[0].rfind(declined ? "ask: "
                                               : "warned: Pellomark is not installed "
                                                 "on this computer.\nNothing was changed.",
                                      0),
                  0u);
        EXPECT_EQ(system.files.size(), 3u);
    }
}

// No file is deleted through a link, nor from another user's folder.
TEST(RunUninstall, AFolderOfAnotherUserOrBehindALinkChangesNothing)
{
    void (*const cases[])(FakeSystem&) = {
        [](FakeSystem& s) { s.links.insert("C:\\Dornwick"); },
        [](FakeSystem& s) { s.others.insert(Folder); },
    };
    for (auto arrange : cases) {
        FakeSystem system;
        arrange(system);
        EXPECT_EQ(RunUninstall(system, Sample), RunFolderDistrusted);
        EXPECT_EQ(system.log,
                  std::vector<std::string>{
                      "warned: Pellomark is not removed: its folder\n" + Folder +
                      "\nbelongs to another user, or is, or lies below, a link, so files "
                      "deleted there might not be its own.\nNothing was changed."});
    }
}

TEST(RunUninstall, GoesOnWithoutTheGroupAndSaysWhy)
{
    const struct {
        void (*arrange)(FakeSystem&);
        const char* command;  // 0: none sent
        const char* box;      // 0: none before the summary
        const char* summary;
    } cases[] = {
        {[](FakeSystem& s) { s.progmanOpens = false; }, "",
         "Unable to connect with Windows Explorer to remove the program group \"Pellomark\"!\n"
         "The rest of Pellomark is removed all the same.",
         "Left in place:\n- the program group \"Pellomark\""},
        // Another program's shortcut in the group keeps the group, not ours.
        {[](FakeSystem& s) { s.shared = true; }, OwnItems, nullptr,
         "C:\\Dornwick\n- its shortcuts from the program group \"Pellomark\"\n- its entries in the "
         "registry\n- the uninstaller Quodgone.exe, once this box is closed\n\nLeft in place:\n- "
         "the program group \"Pellomark\", which holds shortcuts of other programs"},
        // A group that is not there: none of its items is looked for.
        {[](FakeSystem& s) { s.refusing = "ShowGroup"; }, "[ShowGroup(\"Pellomark\",7)]", nullptr,
         "- the program group \"Pellomark\", if it is still there"},
        {[](FakeSystem& s) { s.entry["Program Group"].type = 3; }, nullptr,
         "The program group recorded for Pellomark cannot be read, so it is left in place.",
         "- the program group recorded for it"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        c.arrange(system);
        EXPECT_EQ(RunUninstall(system, Sample), RunDone);
        std::string sent, boxes;
        for (const std::string& line : system.log) {
            sent += line.rfind("progman ", 0) == 0 ? line.substr(8) : "";
            boxes += line.rfind("warned: ", 0) == 0 ? line.substr(8) : "";
        }
        EXPECT_EQ(sent, c.command ? c.command : "");
        EXPECT_EQ(boxes, c.box ? c.box : "");
        EXPECT_NE(system.lastBox.find(c.summary), std::string::npos) << system.lastBox;
        EXPECT_TRUE(system.files.empty() && system.keys.empty());
    }
}

// A file in use stops the run before anything else goes, naming the first;
// an entry that stays keeps the uninstaller it names.
TEST(RunUninstall, WhatStaysKeepsWhatNeedsIt)
{
    const std::string Help = Folder + "\\Quodpost.hlp";
    const struct {
        std::set<std::string> locked;
        RemovalOutcome entry;
        int32_t run;
        bool self;
        const char* box;
    } cases[] = {
        {{Help, Folder + "\\Read_me.txt"},
         Removed,
         RunFilesKept,
         false,
         "Unable to remove "
         "C:\\Dornwick\\Pellomark\\Quodpost.hlp!\n\nIt may be in use. Close Pellomark and "
         "uninstall it again to remove the rest."},
        {{},
         Kept,
         RunDone,
         false,
         "Left in place:\n- its uninstall entry in the registry, and the "
         "uninstaller Quodgone.exe"},
        {{}, Missing, RunDone, true, "- the uninstaller Quodgone.exe, once this box is closed"},
    };
    for (const auto& c : cases) {
        FakeSystem system;
        system.locked = c.locked;
        system.entryOutcome = c.entry;
        EXPECT_EQ(RunUninstall(system, Sample), c.run);
        EXPECT_EQ(std::count(system.log.begin(), system.log.end(), "self Quodgone.exe"), c.self);
        EXPECT_NE(system.lastBox.find(c.box), std::string::npos) << system.lastBox;
        EXPECT_EQ(system.folders.size(), c.locked.empty() ? 0u : 2u);
    }
}

TEST(FormatSummary, NeverWritesPastItsBufferAndMarksACut)
{
    UninstallReport report = {3,       0,       Kept,         0, "", GroupWasUnreachable,
                              Removed, Removed, SelfAfterExit};
    std::string folder = "C:\\" + std::string(250, 'f');
    char whole[MessageSize];
    int32_t length = FormatSummary(whole, sizeof whole, report, Sample, folder.c_str(), "G");
    ASSERT_GT(length, 300);
    for (int32_t capacity : {1, 10, 300, length}) {
        std::vector<char> out(capacity + 16, 'x');
        EXPECT_EQ(FormatSummary(out.data(), capacity, report, Sample, folder.c_str(), "G"), -1);
        EXPECT_EQ(out[capacity], 'x');
        std::string kept = out.data();
        EXPECT_LT(kept.size(), (size_t)capacity);
        EXPECT_TRUE(kept.size() <= 4 ||
                    std::string(whole).substr(0, kept.size() - 4) + "\n..." == kept)
            << kept;
    }
}

}  // namespace
