#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "pages/group_logic.h"

namespace {

using Log = std::vector<std::string>;

enum { GroupNameBytes = 41 };

const PayloadEntry SampleRows[PayloadSlots] = {
    {"Quodgone.exe", "Purgeset", "Uninstall", 36864, 19894},
    {"Quodpost.exe", "Program", "Pellomark", 371712, 209925},
    {"Quodpost.hlp", "HelpFile", "Help", 15821, 9359},
    {"Read_me.txt", "ReadMe", "Read Me", 3850, 3850},
    {"", "", "", 0, 0},
};

// Stands in for the DDE library: each stage can be made to fail, commands
// can be refused, and every call lands in the shared log. It hands out
// handles and tracks which are still held, so the teardown can be checked.
class FakeDde : public DdePort {
public:
    explicit FakeDde(Log& log) : log_(log) {}

    std::string failAt;                     // "init", "service", "topic", "connect"
    bool replies = true;
    std::string reply = std::string("\r\n\0", 3);
    std::function<bool(const std::string&)> refuses = [](const std::string&) { return false; };
    int made = 0;
    int released = 0;

    void Forget() override
    {
        instance_ = conversation_ = 0;
        names_[0] = names_[1] = 0;
    }
    int32_t Initialize() override
    {
        log_.push_back("initialize");
        if (failAt == "init")
            return -1;
        instance_ = Make();
        return 1;
    }
    int32_t MakeName(DdeNameSlot slot, const char* text) override
    {
        const char* which = slot == ServiceNameSlot ? "service" : "topic";
        log_.push_back(std::string("name ") + which + " " + text);
        if (failAt == which || failAt == "names")
            return -1;
        names_[slot] = Make();
        return 1;
    }
    int32_t Connect() override
    {
        log_.push_back("connect");
        if (failAt == "connect")
            return -1;
        conversation_ = Make();
        return 1;
    }
    const char* Request(uint32_t timeout, uint32_t* size) override
    {
        log_.push_back("request " + std::to_string(timeout));
        *size = (uint32_t)reply.size();
        return replies ? reply.data() : nullptr;
    }
    void ReleaseReply() override { log_.push_back("release reply"); }
    int32_t Execute(const char* command, uint32_t timeout) override
    {
        std::string text = command;
        log_.push_back("execute " + (timeout == AsyncTimeout ? std::string("async")
                                                               : std::to_string(timeout)) +
                       " " + text);
        return refuses(text) ? -1 : 1;
    }
    bool HasConversation() override { return conversation_ != 0; }
    bool HasInstance() override { return instance_ != 0; }
    bool HasName(DdeNameSlot slot) override { return names_[slot] != 0; }
    void Disconnect() override { Release(conversation_, "disconnect"); }
    void FreeName(DdeNameSlot slot) override
    {
        Release(names_[slot], slot == ServiceNameSlot ? "free service" : "free topic");
    }
    void Uninitialize() override { Release(instance_, "uninitialize"); }

private:
    int Make()
    {
        ++made;
        return made;
    }
    void Release(int& handle, const char* what)
    {
        log_.push_back(what);
        EXPECT_NE(handle, 0) << what << " of a handle never made";
        if (handle)
            ++released;
        handle = 0;
    }

    Log& log_;
    int instance_ = 0;
    int conversation_ = 0;
    int names_[2] = {0, 0};
};

class FakeView : public GroupView {
public:
    explicit FakeView(Log& log) : log_(log) {}

    std::vector<std::string> groups;
    std::string field = "Pellomark";
    std::vector<uint32_t> allocations;
    // Runs inside the n-th pause (1-based), as a press dispatched there would.
    std::function<void(int)> duringPause = [](int) {};
    int pauses = 0;

    void AddGroup(const char* name) override { groups.push_back(name); }
    char* AllocateWork(uint32_t size) override
    {
        allocations.push_back(size);
        work_.assign(size, '\0');
        return work_.data();
    }
    void FreeWork(char* work) override
    {
        EXPECT_EQ(work, work_.data());
        log_.push_back("free work");
    }
    void Pause(uint32_t milliseconds) override
    {
        log_.push_back("pause " + std::to_string(milliseconds));
        duringPause(++pauses);
    }
    void MarkStep(int32_t value) override { log_.push_back("mark " + std::to_string(value)); }
    void ReadField(char* output, int32_t capacity) override
    {
        // As the platform reads an edit field: cut to capacity - 1.
        log_.push_back("read field " + std::to_string(capacity));
        std::string cut = field.substr(0, (size_t)capacity - 1);
        std::memcpy(output, cut.c_str(), cut.size() + 1);
    }
    void Warn(const char* text) override { log_.push_back(std::string("warn ") + text); }
    void ShowError(const char* text) override { log_.push_back(std::string("error ") + text); }
    void Abort() override { log_.push_back("abort"); }

private:
    Log& log_;
    std::vector<char> work_;
};

Log Only(const Log& log, const std::vector<std::string>& prefixes)
{
    Log kept;
    for (const std::string& entry : log)
        for (const std::string& prefix : prefixes)
            if (entry.rfind(prefix, 0) == 0) {
                kept.push_back(entry);
                break;
            }
    return kept;
}

size_t Count(const Log& log, const std::string& prefix)
{
    return (size_t)std::count_if(log.begin(), log.end(), [&](const std::string& entry) {
        return entry.rfind(prefix, 0) == 0;
    });
}

struct Page {
    Log log;
    FakeDde dde{log};
    FakeView view{log};
    GroupSession session = {0, 0};
    char groupName[GroupNameBytes] = ".";
    std::string installDir = "C:\\Dornwick\\Pellomark";
    std::string windowsDir = "C:\\windows";
    int32_t count = 4;

    ShortcutTarget Target()
    {
        return ShortcutTarget{groupName, installDir.c_str(), windowsDir.c_str(), SampleRows,
                              count};
    }
    void Continue() { ContinueGroup(dde, view, session, Target()); }
};

// ---- command texts ---------------------------------------------------------------

TEST(GroupCommands, SampleManifestSendsEveryCommandInOrderWithItsTimeOutAndPause)
{
    Page page;
    page.Continue();
    EXPECT_EQ(Only(page.log, {"execute", "pause", "mark", "read field"}), (Log{
        "mark 16",
        "read field 40",
        "execute 5000 [CreateGroup(\"Pellomark\")]", "pause 1000",
        "execute 5000 [AddItem(\"C:\\windows\\Quodgone.exe\",\"Uninstall\")]", "pause 1000",
        "execute 5000 [ShowGroup(\"Pellomark\",5)]", "pause 1000",
        "execute 5000 [AddItem(\"C:\\Dornwick\\Pellomark\\Quodpost.exe\",\"Pellomark\")]",
        "pause 1000",
        "execute 5000 [ShowGroup(\"Pellomark\",5)]", "pause 1000",
        "execute 5000 [AddItem(\"C:\\Dornwick\\Pellomark\\Quodpost.hlp\",\"Help\")]",
        "pause 1000",
        "execute 5000 [ShowGroup(\"Pellomark\",5)]", "pause 1000",
        "execute 5000 [AddItem(\"C:\\Dornwick\\Pellomark\\Read_me.txt\",\"Read Me\")]",
        "pause 1000",
        "execute 5000 [ShowGroup(\"Pellomark\",5)]", "pause 1000",
        "pause 1000",
        "execute async [ShowGroup(\"Pellomark\",6)]"}));
    EXPECT_STREQ(page.groupName, "Pellomark");
    EXPECT_EQ(Count(page.log, "error"), 0u);
    EXPECT_EQ(Count(page.log, "abort"), 0u);
}

struct DirectoryCase {
    const char* installDir;
    const char* windowsDir;
    const char* uninstallItem;
    const char* programItem;
};

class ItemDirectories : public ::testing::TestWithParam<DirectoryCase> {};

// The folder and the file are joined by one backslash whatever the folder ends with.
TEST_P(ItemDirectories, JoinFolderAndFileWithExactlyOneAddedBackslash)
{
    const DirectoryCase& c = GetParam();
    Page page;
    page.installDir = c.installDir;
    page.windowsDir = c.windowsDir;
    page.Continue();
    Log items = Only(page.log, {"execute 5000 [AddItem"});
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], std::string("execute 5000 ") + c.uninstallItem);
    EXPECT_EQ(items[1], std::string("execute 5000 ") + c.programItem);
}

INSTANTIATE_TEST_SUITE_P(Folders, ItemDirectories, ::testing::Values(
    DirectoryCase{"C:\\Dornwick\\Pellomark\\", "C:\\windows",
                  "[AddItem(\"C:\\windows\\Quodgone.exe\",\"Uninstall\")]",
                  "[AddItem(\"C:\\Dornwick\\Pellomark\\\\Quodpost.exe\",\"Pellomark\")]"},
    DirectoryCase{"D:\\", "C:\\WINDOWS\\",
                  "[AddItem(\"C:\\WINDOWS\\\\Quodgone.exe\",\"Uninstall\")]",
                  "[AddItem(\"D:\\\\Quodpost.exe\",\"Pellomark\")]"},
    DirectoryCase{"E:\\Program Files\\Pellomark", "C:\\windows",
                  "[AddItem(\"C:\\windows\\Quodgone.exe\",\"Uninstall\")]",
                  "[AddItem(\"E:\\Program Files\\Pellomark\\Quodpost.exe\",\"Pellomark\")]"}));

TEST(GroupCommands, FewerShortcutRowsThanFilesGiveFewerItems)
{
    Page page;
    page.count = 2;
    page.Continue();
    EXPECT_EQ(Count(page.log, "execute 5000 [AddItem"), 2u);
    EXPECT_EQ(Count(page.log, "execute 5000 [ShowGroup"), 2u);
    EXPECT_EQ(page.log.back(), "execute async [ShowGroup(\"Pellomark\",6)]");
}

TEST(GroupCommands, ACommandThatWouldNotFitItsBufferIsNeverSentAndCountsAsFailed)
{
    char small[27];
    EXPECT_EQ(FormatCreateGroup(small, sizeof small, "Pellomark"), 26);
    EXPECT_EQ(FormatCreateGroup(small, sizeof small, "Pellomarks"), -1);
    EXPECT_STREQ(small, "");

    Page page;
    page.installDir = std::string(600, 'x');
    page.Continue();
    // Row 0 points into the Windows folder and still goes; the others do not fit.
    EXPECT_EQ(Count(page.log, "execute 5000 [AddItem"), 1u);
    EXPECT_EQ(Count(page.log, "execute async"), 0u);
    EXPECT_EQ(Count(page.log, "error Unable To Create Shortcuts!"), 1u);
}

// ---- failed commands ---------------------------------------------------------------

struct RefusalCase {
    const char* name;
    const char* refused;        // a command containing this is refused
    size_t executes;            // synchronous commands sent
    size_t pauses;
    bool asyncSent;
};

class Refusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(Refusals, EveryRowIsStillTriedThenBothBoxesComeAndThePageAborts)
{
    const RefusalCase& c = GetParam();
    Page page;
    std::string refused = c.refused;
    page.dde.refuses = [&](const std::string& text) {
        return text.find(refused) != std::string::npos;
    };
    page.Continue();
    EXPECT_EQ(Count(page.log, "execute 5000"), c.executes);
    EXPECT_EQ(Count(page.log, "pause"), c.pauses);
    EXPECT_EQ(Count(page.log, "execute async"), c.asyncSent ? 1u : 0u);
    // The boxes come after the last command, the abort notice last of all.
    ASSERT_GE(page.log.size(), 2u);
    EXPECT_EQ(page.log[page.log.size() - 2], "error Unable To Create Shortcuts!");
    EXPECT_EQ(page.log.back(), "abort");
    EXPECT_EQ(Count(page.log, "error"), 1u);
    EXPECT_TRUE(page.session.Ended);
}

INSTANTIATE_TEST_SUITE_P(Commands, Refusals, ::testing::Values(
    // No items without the group, but the pause before the last command stays.
    RefusalCase{"create", "CreateGroup", 1, 1, false},
    RefusalCase{"first item", "Quodgone.exe", 9, 9, false},
    RefusalCase{"program item", "Quodpost.exe", 9, 9, false},
    RefusalCase{"every show", ",5)", 9, 6, false},
    RefusalCase{"last item", "Read_me.txt", 9, 9, false},
    RefusalCase{"async", ",6)", 9, 10, true}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

// ---- the group name ----------------------------------------------------------------

struct NameCase {
    std::string field;
    int32_t result;
    std::string warning;        // empty when none
    std::string chosen;         // the group name afterwards
};

class GroupNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(GroupNames, ContinueAcceptsOrRefusesTheFieldsText)
{
    const NameCase& c = GetParam();
    Log log;
    FakeView view(log);
    view.field = c.field;
    char groupName[GroupNameBytes] = "Earlier";
    EXPECT_EQ(ReadGroup(view, groupName), c.result);
    EXPECT_EQ(groupName, c.chosen);
    EXPECT_EQ(Count(log, "warn"), c.warning.empty() ? 0u : 1u);
    if (!c.warning.empty()) {
        EXPECT_EQ(log.back(), "warn " + c.warning);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, GroupNames, ::testing::Values(
    NameCase{"", -1, "Group may not be empty!", "Earlier"},
    NameCase{"Pellomark", 1, "", "Pellomark"},
    NameCase{"Pello\"mark", -1, "Group may not contain quotes!", "Earlier"},
    NameCase{"\")][ExitProgman(1)][(\"", -1, "Group may not contain quotes!", "Earlier"},
    NameCase{"Tools, Games & [more]", 1, "", "Tools, Games & [more]"},
    // 40 characters typed: the first 39 are used.
    NameCase{"0123456789012345678901234567890123456789", 1, "",
             "012345678901234567890123456789012345678"}));

TEST(GroupContinue, TheStepAdvancesBeforeTheNameIsRefusedAndNothingIsSent)
{
    Page page;
    page.view.field = "";
    page.Continue();
    EXPECT_EQ(page.log, (Log{"mark 16", "read field 40", "warn Group may not be empty!"}));
    EXPECT_FALSE(page.session.Ended);
    // The page stays: a corrected name goes through.
    page.view.field = "Tools";
    page.Continue();
    EXPECT_EQ(page.log.back(), "execute async [ShowGroup(\"Tools\",6)]");
}

// ---- presses inside the pauses -------------------------------------------------------

TEST(GroupContinue, APressDuringThePausesStartsNoSecondSequence)
{
    Page page;
    // Presses in the first pauses (more would only nest deeper if let through).
    page.view.duringPause = [&](int n) {
        if (n <= 2)
            page.Continue();
    };
    page.Continue();
    EXPECT_EQ(Count(page.log, "execute 5000 [CreateGroup"), 1u);
    EXPECT_EQ(Count(page.log, "execute"), 10u);
    EXPECT_EQ(Count(page.log, "mark"), 1u);
}

TEST(GroupContinue, OnceTheLastCommandIsOutstandingContinueSendsTheSequenceAgain)
{
    Page page;
    page.Continue();
    page.view.field = "Second";
    page.Continue();
    Log creates = Only(page.log, {"execute 5000 [CreateGroup", "execute async"});
    EXPECT_EQ(creates, (Log{"execute 5000 [CreateGroup(\"Pellomark\")]",
                            "execute async [ShowGroup(\"Pellomark\",6)]",
                            "execute 5000 [CreateGroup(\"Second\")]",
                            "execute async [ShowGroup(\"Second\",6)]"}));
}

TEST(GroupContinue, CancelDuringAPauseStopsTheSequenceWithOneAbortNotice)
{
    Page page;
    page.view.duringPause = [&](int n) {
        if (n == 3)
            CancelGroup(page.view, page.session);
    };
    // Refused items would otherwise bring the failure boxes at the end.
    page.dde.refuses = [](const std::string& text) {
        return text.find("AddItem") != std::string::npos;
    };
    page.Continue();
    EXPECT_EQ(Count(page.log, "execute"), 5u);
    EXPECT_EQ(Count(page.log, "abort"), 1u);
    EXPECT_EQ(Count(page.log, "error"), 0u);
    EXPECT_EQ(ConfirmGroup(page.session), 0);
}

TEST(GroupConfirm, TheTimerEndsThePageOnceAndNotWhileASequenceIsBeingSent)
{
    Page page;
    page.Continue();
    page.view.duringPause = [&](int) { EXPECT_EQ(ConfirmGroup(page.session), 0); };
    page.Continue();
    EXPECT_EQ(ConfirmGroup(page.session), 1);
    EXPECT_EQ(ConfirmGroup(page.session), 0);
    // And the page that ended takes no more presses.
    size_t before = page.log.size();
    page.Continue();
    EXPECT_EQ(page.log.size(), before);
}

// ---- the group-list reply ------------------------------------------------------------

struct ReplyCase {
    const char* name;
    std::string bytes;          // what the buffer holds
    uint32_t size;              // what the reply says it holds
    std::vector<std::string> names;
};

std::string Bytes(const char* text, size_t length) { return std::string(text, length); }

class ReplyWalk : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyWalk, ListsEveryNameACarriageReturnEndsWithinTheReply)
{
    const ReplyCase& c = GetParam();
    Log log;
    FakeView view(log);
    // Fenced, so that any write past the work buffer shows.
    const uint32_t workSize = c.size + 2;
    std::vector<char> fenced(workSize + 16, '#');
    std::fill(fenced.begin(), fenced.begin() + workSize, '\0');
    int32_t listed = WalkGroupReply(c.bytes.data(), c.size, fenced.data(), workSize, view);
    EXPECT_EQ(view.groups, c.names);
    EXPECT_EQ(listed, (int32_t)c.names.size());
    EXPECT_EQ(std::string(fenced.begin() + workSize, fenced.end()), std::string(16, '#'));
}

INSTANTIATE_TEST_SUITE_P(Replies, ReplyWalk, ::testing::Values(
    ReplyCase{"two_names", Bytes("Accessories\r\nGames\r\n\0", 21), 21, {"Accessories", "Games"}},
    ReplyCase{"last_without_line_end", Bytes("Accessories\r\nGames\0", 19), 19,
              {"Accessories"}},
    ReplyCase{"empty_item", Bytes("Games\r\n\r\nTools\r\n\0", 17), 17, {"Games", "", "Tools"}},
    ReplyCase{"starts_with_line_end", Bytes("\r\nGames\r\n\0", 10), 10, {"\r\nGames"}},
    ReplyCase{"wines_empty_list", Bytes("\r\n\0", 3), 3, {}},
    ReplyCase{"no_zero_byte", Bytes("Games\r\nTools\r\n", 14), 14, {"Games", "Tools"}},
    // A carriage return just past the reply's size must not be seen.
    ReplyCase{"name_ends_at_the_size", Bytes("Games\r\nTools\r\n", 14), 12, {"Games"}},
    ReplyCase{"carriage_return_last", Bytes("Games\r", 6), 6, {"Games"}},
    ReplyCase{"zero_bytes", Bytes("Games\r\n", 7), 0, {}},
    ReplyCase{"stops_at_the_first_zero", Bytes("Games\r\n\0Tools\r\n", 15), 15, {"Games"}},
    ReplyCase{"lone_carriage_return", Bytes("\r", 1), 1, {}},
    ReplyCase{"long_name", std::string(300, 'n') + "\r\n", 302, {std::string(300, 'n')}}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::string(info.param.name); });

TEST(ReplyWalk, AWorkBufferSmallerThanTheReplyIsNeverOverrun)
{
    Log log;
    FakeView view(log);
    std::string reply = "Accessories\r\nGames\r\nTools\r\n";
    for (uint32_t workSize = 0; workSize < reply.size() + 2; ++workSize) {
        view.groups.clear();
        std::vector<char> fenced(workSize + 8, '#');
        std::fill(fenced.begin(), fenced.begin() + workSize, '\0');
        WalkGroupReply(reply.data(), (uint32_t)reply.size(), fenced.data(), workSize, view);
        EXPECT_EQ(std::string(fenced.begin() + workSize, fenced.end()), std::string(8, '#'))
            << "work buffer of " << workSize;
        for (const std::string& name : view.groups)
            EXPECT_TRUE(name == "Accessories" || name == "Games" || name == "Tools") << name;
    }
}

TEST(ListGroups, AReplyIsWalkedInAZeroedCopyTwoBytesLargerAndReleased)
{
    Log log;
    FakeDde dde(log);
    FakeView view(log);
    dde.reply = Bytes("Games\r\nAccessories\r\n\0", 21);
    EXPECT_EQ(ListGroups(dde, view), 1);
    EXPECT_EQ(view.groups, (std::vector<std::string>{"Games", "Accessories"}));
    EXPECT_EQ(view.allocations, (std::vector<uint32_t>{23}));
    EXPECT_EQ(log, (Log{"request 5000", "free work", "release reply"}));
}

TEST(ListGroups, NoReplyLeavesTheListEmpty)
{
    Log log;
    FakeDde dde(log);
    FakeView view(log);
    dde.replies = false;
    EXPECT_EQ(ListGroups(dde, view), -1);
    EXPECT_TRUE(view.groups.empty());
    EXPECT_TRUE(view.allocations.empty());
    EXPECT_EQ(log, (Log{"request 5000"}));
}

// ---- connecting and letting go ---------------------------------------------------------

struct ConnectCase {
    const char* failAt;
    Log opening;                // the calls up to the failure
    Log teardown;
};

class Connection : public ::testing::TestWithParam<ConnectCase> {};

TEST_P(Connection, AFailureTellsTheUserAbortsAndTheTeardownReleasesExactlyWhatWasMade)
{
    const ConnectCase& c = GetParam();
    Log log;
    FakeDde dde(log);
    FakeView view(log);
    dde.failAt = c.failAt;
    GroupSession session = {0, 0};
    EXPECT_EQ(OpenGroupPage(dde, view, session), -1);
    Log expected = c.opening;
    expected.push_back("error Unable to connect with Windows Explorer to create shortcuts!");
    expected.push_back("abort");
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(session.Ended);

    log.clear();
    ReleaseProgramManager(dde);
    EXPECT_EQ(log, c.teardown);
    EXPECT_EQ(dde.released, dde.made);
    // A second teardown finds nothing left.
    log.clear();
    ReleaseProgramManager(dde);
    EXPECT_TRUE(log.empty());
}

INSTANTIATE_TEST_SUITE_P(Stages, Connection, ::testing::Values(
    ConnectCase{"init", {"initialize"}, {}},
    ConnectCase{"service",
                {"initialize", "name service PROGMAN", "name topic PROGMAN"},
                {"free topic", "uninitialize"}},
    ConnectCase{"topic",
                {"initialize", "name service PROGMAN", "name topic PROGMAN"},
                {"free service", "uninitialize"}},
    ConnectCase{"names",
                {"initialize", "name service PROGMAN", "name topic PROGMAN"},
                {"uninitialize"}},
    ConnectCase{"connect",
                {"initialize", "name service PROGMAN", "name topic PROGMAN", "connect"},
                {"free service", "free topic", "uninitialize"}}),
    [](const ::testing::TestParamInfo<ConnectCase>& info) {
        return std::string(info.param.failAt);
    });

TEST(Connection, AnOpenConversationListsTheGroupsAndIsClosedFirstOnTeardown)
{
    Log log;
    FakeDde dde(log);
    FakeView view(log);
    dde.reply = Bytes("Pellomark\r\n\0", 12);
    GroupSession session = {0, 0};
    EXPECT_EQ(OpenGroupPage(dde, view, session), 1);
    EXPECT_EQ(log, (Log{"initialize", "name service PROGMAN", "name topic PROGMAN", "connect",
                        "request 5000", "free work", "release reply"}));
    EXPECT_EQ(view.groups, (std::vector<std::string>{"Pellomark"}));
    EXPECT_FALSE(session.Ended);

    log.clear();
    ReleaseProgramManager(dde);
    EXPECT_EQ(log, (Log{"disconnect", "free service", "free topic", "uninitialize"}));
    EXPECT_EQ(dde.released, dde.made);
}

TEST(Connection, AGroupListThatFailsStillLeavesAWorkingPage)
{
    Log log;
    FakeDde dde(log);
    FakeView view(log);
    dde.replies = false;
    GroupSession session = {0, 0};
    EXPECT_EQ(OpenGroupPage(dde, view, session), 1);
    EXPECT_EQ(Count(log, "error"), 0u);
    EXPECT_EQ(Count(log, "abort"), 0u);
}

} // namespace
