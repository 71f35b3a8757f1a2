// The whole uninstall over a system kept in memory: what it reads, asks,
// removes, in which order, and what it tells.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>

#include "sample_product.h"
#include "uninstaller/uninstall_logic.h"

namespace {

const std::string Folder = "C:\\Dornwick\\Pellomark", Text(1, RegistryText);

// Whether the log is the pattern, each '*' of which stands for any text.
bool Matches(const char* log, const char* pattern)
{
    if (*pattern == '*')
        return Matches(log, pattern + 1) || (*log && Matches(log + 1, pattern));
    return *pattern ? *log == *pattern && Matches(log + 1, pattern + 1) : !*log;
}

// Each call is logged, ended by '|'; every removal succeeds but for the files
// in use. The entry's values are led by their type.
struct System : UninstallPort {
    using Outcome = RemovalOutcome;
    ReadOutcome ReadEntryValue(const char*, const char* value, char* data, uint32_t capacity,
                               uint32_t* size, uint32_t* type)
    {
        const std::string& text = entry[value];
        if (text.empty())
            return ReadMissing;
        *type = (uint8_t)text[0], *size = (uint32_t)text.size();
        return *size > capacity ? ReadFailed : (memcpy(data, text.c_str() + 1, *size), ReadDone);
    }
    int32_t Standing(const char* folder) { return standing[folder]; }
    bool Ask(const char* text) { return Log("ask ", text), answer; }
    void Tell(const char* t, BoxKind k) { Log(k == BoxInformation ? "told " : "warned ", t); }
    Outcome RemoveFile(const char* p) { return Log("file ", p), busy.count(p) ? Kept : Removed; }
    Outcome RemoveFolder(const char* path) { return Log("folder ", path), Removed; }
    void AllowDdeReplies() { Log("allow", ""); }
    bool OpenProgramManager() { return Log("open", ""), opens; }
    GroupOutcome SendGroupCommand(const char* c)
    {
        return Log("", c), strstr(c, refused) ? GroupRefused : GroupDeleted;
    }
    void CloseProgramManager() { Log("close", ""); }
    bool GroupHoldsOthers(const char* group) { return Log("look in ", group), shared; }
    Outcome RemoveEntry(const char* name) { return Log("entry ", name), entryRemoval; }
    Outcome RemoveValue(const char*, const char* value) { return Log("value ", value), Removed; }
    Outcome RemoveKeyIfEmpty(const char* key) { return Log("key ", key), Removed; }
    SelfOutcome RemoveSelf(const char* name) { return Log("self ", name), SelfAfterExit; }
    void Log(const char* what, const std::string& text) { log += what + text + "|"; }

    std::map<std::string, std::string> entry = {{ProgramPathValue, Text + Folder},
                                                {ProgramGroupValue, Text + "Pellomark"}};
    std::map<std::string, int32_t> standing;
    std::set<std::string> busy;
    bool answer = true, opens = true, shared = false;  // shared: another program's shortcut in it
    const char* refused = "none";  // Program Manager refuses commands holding this
    Outcome entryRemoval = Removed;
    std::string log;
};

TEST(RunUninstall, RemovesWhatItTrustsInOrderAndSaysWhatStays)
{
    // How the system differs; the run's outcome and its log.
    const std::tuple<void (*)(System&), int32_t, const char*> cases[] = {
        {[](System&) {}, RunDone,
         "ask This removes Pellomark from the folder\nC:\\Dornwick\\Pellomark\n\n*now?|"
         "file C:\\Dornwick\\Pellomark\\Quodpost.exe|file C:\\Dornwick\\Pellomark\\Quodpost.hlp|"
         "file C:\\Dornwick\\Pellomark\\Read_me.txt|file C:\\Dornwick\\Pellomark\\Quodgone.ex_|"
         "file C:\\Dornwick\\Pellomark\\Quodpost.ex_|file C:\\Dornwick\\Pellomark\\Quodpost.hl_|"
         "file C:\\Dornwick\\Pellomark\\Read_me.tx_|folder C:\\Dornwick\\Pellomark|folder "
         "C:\\Dornwick|allow|open|[ShowGroup(\"Pellomark\",7)]|[DeleteItem(\"Uninstall\")]|"
         "[DeleteItem(\"Pellomark\")]|[DeleteItem(\"Help\")]|[DeleteItem(\"Read Me\")]|look in "
         "Pellomark|[DeleteGroup(\"Pellomark\")]|close|entry Pellomark|value Program Version|key "
         "Shareware\\Dornwick\\Programs\\Pellomark\\Current Version|key "
         "Shareware\\Dornwick\\Programs\\Pellomark|key Shareware\\Dornwick\\Programs|key "
         "Shareware\\Dornwick|key Shareware|self Quodgone.exe|told Pellomark has been "
         "uninstalled.\n\nRemoved:\n- 3 program files from C:\\Dornwick\\Pellomark\n- 4 stored "
         "copies left by an unfinished installation\n- the folder "
         "C:\\Dornwick\\Pellomark\n- its parent folder C:\\Dornwick\n- the program group "
         "\"Pellomark\"\n- its entries in the registry\n- the uninstaller Quodgone.exe, once this "
         "box is closed|"},
        // Without a folder it could have installed into, nothing is changed.
        {[](System& s) { s.entry.erase(ProgramPathValue); }, RunNotInstalled,
         "warned Pellomark is not installed on this computer.\nNothing was changed.|"},
        {[](System& s) { s.entry[ProgramPathValue] = Text + "C:\\Apps\\..\\"; }, RunNotInstalled,
         "warned Pellomark is not installed *changed.|"},
        {[](System& s) { s.answer = false; }, RunDeclined, "ask *now?|"},
        // No file is deleted through a link.
        {[](System& s) { s.standing["C:\\Dornwick"] = FolderIsLink; }, RunFolderDistrusted,
         "warned Pellomark is not removed: its folder\nC:\\Dornwick\\Pellomark\nbelongs to another "
         "user, or is, or lies below, a link, so files deleted there might not be its "
         "own.\nNothing "
         "was changed.|"},
        // Without the group the rest goes all the same.
        {[](System& s) { s.opens = false; }, RunDone,
         "*|allow|open|warned Unable to connect with Windows Explorer to remove the program group "
         "\"Pellomark\"!\nThe rest of Pellomark is removed all the same.|entry Pellomark|*Left in "
         "place:\n- the program group \"Pellomark\"|"},
        {[](System& s) { s.shared = true; }, RunDone,
         "*|[DeleteItem(\"Read Me\")]|look in Pellomark|close|*- its shortcuts from the program "
         "group \"Pellomark\"\n*Left in place:\n- the program group \"Pellomark\", which holds "
         "shortcuts of other programs|"},
        // A group that is not there: none of its items is looked for.
        {[](System& s) { s.refused = "ShowGroup"; }, RunDone,
         "*|open|[ShowGroup(\"Pellomark\",7)]|close|*- the program group \"Pellomark\", if it is "
         "still there: Windows Explorer did not delete it|"},
        {[](System& s) { s.entry[ProgramGroupValue][0] = 3; }, RunDone,
         "*|folder C:\\Dornwick|warned The program group recorded for Pellomark cannot be read, so "
         "it is left in place.|entry *Left in place:\n- the program group recorded for it|"},
        {[](System& s) { s.entry[ProgramGroupValue] = Text + "Pello\"mark"; }, RunDone,
         "*|folder C:\\Dornwick|warned The program group \"Pello\"mark\" has a name that cannot be "
         "sent to Windows Explorer, so it is left in place.|entry *Left in place:\n- the program "
         "group \"Pello\"mark\"|"},
        // A file in use stops the run before anything else goes, naming the
        // first; an entry that stays keeps the uninstaller it names.
        {[](System& s) {
             s.busy = {Folder + "\\Quodpost.hlp", Folder + "\\Read_me.txt"};
         },
         RunFilesKept,
         "ask *|file C:\\Dornwick\\Pellomark\\Read_me.tx_|warned Unable to remove "
         "C:\\Dornwick\\Pellomark\\Quodpost.hlp!\n\nIt may be in use. Close Pellomark and "
         "uninstall it again to remove the rest.|"},
        {[](System& s) { s.entryRemoval = Kept; }, RunDone,
         "*|key Shareware|told *Left in place:\n- its uninstall entry in the registry, and the "
         "uninstaller Quodgone.exe|"},
        {[](System& s) { s.entryRemoval = Missing; }, RunDone,
         "*|key Shareware|self Quodgone.exe|told *\n- the uninstaller Quodgone.exe, once this box "
         "is closed|"},
    };
    for (const auto& [arrange, run, log] : cases) {
        System system;
        arrange(system);
        EXPECT_EQ(RunUninstall(system, Sample), run) << log;
        EXPECT_TRUE(Matches(system.log.c_str(), log)) << system.log;
    }
}

// Whole pieces, then "\n..." where it fits: at 34 it does not after the first.
TEST(FormatSummary, NeverWritesPastItsBufferAndMarksACut)
{
    UninstallReport report = {3,       0,       Kept,         0, "", GroupWasUnreachable,
                              Removed, Removed, SelfAfterExit};
    std::string folder = "C:\\" + std::string(250, 'f');
    char whole[MessageSize];
    int32_t length = FormatSummary(whole, sizeof whole, report, Sample, folder.c_str(), "G");
    ASSERT_GT(length, 300);
    for (int32_t capacity : {1, 10, 34, 300, length}) {
        std::string out(capacity + 16, 'x');
        EXPECT_EQ(FormatSummary(&out[0], capacity, report, Sample, folder.c_str(), "G"), -1);
        EXPECT_EQ(out[capacity], 'x');
        const std::string kept = out.c_str();
        const bool marked = kept.size() >= 4 && !kept.compare(kept.size() - 4, 4, "\n...");
        const std::string text = kept.substr(0, kept.size() - (marked ? 4 : 0));
        EXPECT_LT(kept.size(), (size_t)capacity);
        EXPECT_EQ(std::string(whole).rfind(text, 0), 0u) << kept;
        EXPECT_EQ(marked, (int32_t)text.size() + 5 <= capacity) << kept;
    }
}

}  // namespace
