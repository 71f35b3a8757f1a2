#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "pages/group_logic.h"
#include "sample_product.h"

namespace {

using Log = std::vector<std::string>;

// Stands in for the DDE library and the page: a stage can fail, a command be
// refused, a press run inside a pause; every call lands in one log. Handles
// are flags, so the teardown's log shows what it let go.
class FakeGroup : public DdePort, public GroupView {
public:
    void Forget() override { instance = conversation = names[0] = names[1] = false; }
    void AllowReplies() override { Note("allow replies"); }
    bool Initialize() override { return Make("initialize", "init", instance); }
    bool MakeName(DdeNameSlot slot, const char* text) override
    {
        std::string which = Slot[slot];
        return Make("name " + which + " " + text, failAt == "names" ? failAt : which, names[slot]);
    }
    bool Connect() override { return Make("connect", "connect", conversation); }
    const char* Request(uint32_t timeout, uint32_t* size) override
    {
        *size = (uint32_t)reply.size();
        return Note("request " + std::to_string(timeout), replies) ? reply.data() : nullptr;
    }
    void ReleaseReply() override { Note("release reply"); }
    bool Execute(const char* command, uint32_t timeout) override
    {
        std::string wait = timeout == AsyncTimeout ? "async" : std::to_string(timeout);
        return Note("execute " + wait + " " + command,
                    refused.empty() || !strstr(command, refused.c_str()));
    }
    bool HasConversation() override { return conversation; }
    bool HasInstance() override { return instance; }
    bool HasName(DdeNameSlot slot) override { return names[slot]; }
    void Disconnect() override { Release("disconnect", conversation); }
    void FreeName(DdeNameSlot slot) override { Release("free " + Slot[slot], names[slot]); }
    void Uninitialize() override { Release("uninitialize", instance); }

    void AddGroup(const char* name) override { groups.push_back(name); }
    char* AllocateWork(uint32_t size) override { return work.assign(size, '\0'), work.data(); }
    void FreeWork(char*) override { Note("free work"); }
    void Pause(uint32_t ms) override { Note("pause " + std::to_string(ms)), inPause(++pauses); }
    void MarkStep(int32_t value) override { Note("mark " + std::to_string(value)); }
    void ReadField(char* output, int32_t n) override
    {
        snprintf(output, (size_t)n, "%s", field.c_str()), Note("read field " + std::to_string(n));
    }
    void Warn(const char* text) override { Note(std::string("warn ") + text); }
    void ShowError(const char* text) override { Note(std::string("error ") + text); }
    void Abort() override { Note("abort"); }

    bool Note(const std::string& entry, bool result = true) { return log.push_back(entry), result; }
    void Continue()
    {
        ContinueGroup(*this, *this, session,
                      {groupName, installDir.c_str(), "C:\\windows", Sample.Payload, 4});
    }
    int Count(const std::string& p) const
    {
        return (int)std::count_if(log.begin(), log.end(), [&](auto& e) { return !e.rfind(p, 0); });
    }

    std::string failAt, refused, field = "Pellomark", installDir = "D:\\", reply{"\r\n\0", 3};
    bool replies = true;
    std::function<void(int)> inPause = [](int) {};
    int pauses = 0;
    char groupName[GroupNameSize] = ".";
    GroupSession session = {0, 0};
    Log log, groups;
    std::vector<char> work;

    bool Make(const std::string& entry, const std::string& stage, bool& held)
    {
        return held = Note(entry, failAt != stage);
    }
    void Release(const std::string& what, bool& held) { Note(what), held = false; }
    bool instance = false, conversation = false, names[2] = {false, false};
    const std::string Slot[2] = {"service", "topic"};
};

// A press during the pauses starts no second sequence, nor does the timer end
// it; one after the last command does. A folder that ends in a backslash
// still gets one added before the file.
TEST(GroupContinue, SendsTheSampleInOrderWithItsPausesAndNoSecondSequenceWhilePressedDuringThem)
{
    FakeGroup page;
    page.inPause = [&](int n) {
        if (n <= 2)
            page.Continue();
        EXPECT_EQ(ConfirmGroup(page.session), 0) << "the timer does not end a sequence being sent";
    };
    page.Continue();
    Log expected = {"mark 16", "read field 40", "execute 5000 [CreateGroup(\"Pellomark\")]"};
    for (const char* item :
         {"C:\\windows\\Quodgone.exe\",\"Uninstall", "D:\\\\Quodpost.exe\",\"Pellomark",
          "D:\\\\Quodpost.hlp\",\"Help", "D:\\\\Read_me.txt\",\"Read Me"})
        expected.insert(expected.end(),
                        {"pause 1000", std::string("execute 5000 [AddItem(\"") + item + "\")]",
                         "pause 1000", "execute 5000 [ShowGroup(\"Pellomark\",5)]"});
    expected.insert(expected.end(),
                    {"pause 1000", "pause 1000", "execute async [ShowGroup(\"Pellomark\",6)]"});
    EXPECT_EQ(page.log, expected);
    EXPECT_STREQ(page.groupName, "Pellomark");
    page.field = "Second";
    page.Continue();
    EXPECT_EQ(std::make_pair(page.Count("execute 5000 [CreateGroup(\"Second\")]"), page.log.size()),
              std::make_pair(1, 2 * expected.size()));
    EXPECT_EQ(ConfirmGroup(page.session), 1);
    EXPECT_EQ(ConfirmGroup(page.session), 0);
    page.Continue();
    EXPECT_EQ(page.log.size(), 2 * expected.size()) << "an ended page takes no more presses";
}

// A refused command, or an item that does not fit, still lets every row be
// tried (without the group no item is), then both boxes come; a cancel during
// a pause stops the sequence with the notice alone.
TEST(GroupContinue, AFailureBringsBothBoxesAndACancelOnlyTheNotice)
{
    const std::string Failed = std::string("error ") + ShortcutsFailedText;
    // Refused, the folder, the pause cancelled in; then the commands sent, the
    // pauses, the last one started; the entry before the notice.
    const std::tuple<const char*, std::string, int, std::vector<int>, std::string> cases[] = {
        {"CreateGroup", "D:\\", 0, {1, 1, 0}, Failed},
        {",6)", "D:\\", 0, {9, 10, 1}, Failed},
        {"", std::string(600, 'D'), 0, {6, 7, 0}, Failed},  // only the uninstaller's item fits
        {"AddItem", "D:\\", 3, {5, 3, 0}, "pause 1000"},
    };
    for (const auto& [refused, folder, cancelAt, counts, last] : cases) {
        FakeGroup page;
        page.refused = refused;
        page.installDir = folder;
        page.inPause = [&, cancelAt = cancelAt](int n) {
            if (n == cancelAt)
                CancelGroup(page, page.session);
        };
        page.Continue();
        EXPECT_EQ(std::vector<int>({page.Count("execute 5000"), page.Count("pause"),
                                    page.Count("execute async")}),
                  counts)
            << refused;
        EXPECT_EQ(Log(page.log.end() - 2, page.log.end()), (Log{last, "abort"}));
        EXPECT_EQ(ConfirmGroup(page.session), 0);
    }
}

TEST(ReadGroup, AcceptsOrRefusesTheFieldsText)
{
    // The field; the warning; the name chosen.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"", "Group may not be empty!", "Earlier"},
        {"Pello\"mark", "Group may not contain quotes!", "Earlier"},
        {"Tools, Games & [more]", "", "Tools, Games & [more]"},
        {std::string(40, 'g'), "", std::string(39, 'g')},
    };
    for (const auto& [field, warning, chosen] : cases) {
        FakeGroup view;
        view.field = field;
        char groupName[GroupNameSize] = "Earlier";
        EXPECT_EQ(ReadGroup(view, groupName), warning.empty() ? 1 : -1);
        EXPECT_EQ(groupName, chosen);
        EXPECT_EQ(view.log.back(), warning.empty() ? "read field 40" : "warn " + warning);
    }
}

TEST(WalkGroupReply, ListsEveryNameEndedWithinTheReplyAndNeverWritesPastTheWork)
{
    // The reply's bytes, the size given, the names listed.
    const std::tuple<std::string, uint32_t, Log> cases[] = {
        {std::string("Accessories\r\nGames\0", 19), 19, {"Accessories"}},
        {std::string("Games\r\n\r\nTools\r\n\0", 17), 17, {"Games", "", "Tools"}},
        {std::string("\r\nGames\r\n\0", 10), 10, {"\r\nGames"}},
        {"Games\r\nTools\r\n", 12, {"Games"}},  // a return just past the size is not seen
        {"Games\r", 6, {"Games"}},
        {std::string("Games\r\n\0Tools\r\n", 15), 15, {"Games"}},
    };
    for (const auto& [bytes, size, names] : cases) {
        FakeGroup view;
        std::string fenced = std::string(size + 2, '\0') + std::string(16, '#');
        EXPECT_EQ(WalkGroupReply(bytes.data(), size, fenced.data(), size + 2, view),
                  (int32_t)names.size());
        EXPECT_EQ(view.groups, names);
        EXPECT_EQ(fenced.substr(size + 2), std::string(16, '#'));
    }
}

// Each unanswered connection is tried again on a fresh instance, whose
// predecessors stay made; the last is what the teardown releases, once.
TEST(ConnectProgramManager, ListsTheGroupsOrTellsAndAbortsThenReleasesExactlyWhatWasMade)
{
    const Log names = {"allow replies", "initialize", "name service PROGMAN", "name topic PROGMAN"};
    Log listed = names, unanswered = names;
    listed.insert(listed.end(), {"connect", "request 5000", "free work", "release reply"});
    for (int attempt = 1; attempt < ConnectAttempts; ++attempt)
        unanswered.insert(unanswered.end(),
                          {"connect", "pause " + std::to_string(ConnectRetryPause), names[1],
                           names[2], names[3]});
    unanswered.push_back("connect");
    // The stage that fails; the opening, the teardown.
    const std::tuple<std::string, Log, Log> cases[] = {
        {"", listed, {"disconnect", "free service", "free topic", "uninitialize"}},
        {"init", {names[0], names[1]}, {}},
        {"service", names, {"free topic", "uninitialize"}},
        {"names", names, {"uninitialize"}},
        {"connect", unanswered, {"free service", "free topic", "uninitialize"}},
    };
    for (const auto& [failAt, opening, teardown] : cases) {
        FakeGroup page;
        page.failAt = failAt;
        page.reply = std::string("Pellomark\r\n\0", 12);
        bool fails = !failAt.empty();
        EXPECT_EQ(OpenGroupPage(page, page, page.session), fails ? -1 : 1);
        Log expected = opening;
        if (fails)
            expected.insert(expected.end(), {std::string("error ") + ConnectFailedText, "abort"});
        EXPECT_EQ(page.log, expected);
        EXPECT_EQ(page.groups, fails ? Log{} : Log{"Pellomark"});
        EXPECT_EQ(page.session.Ended, fails);
        page.log.clear();
        ReleaseProgramManager(page);
        ReleaseProgramManager(page);
        EXPECT_EQ(page.log, teardown) << "once, and nothing left for a second teardown";
    }
    // No reply leaves the list empty and the page working.
    FakeGroup silent;
    silent.replies = false;
    EXPECT_EQ(OpenGroupPage(silent, silent, silent.session), 1);
    EXPECT_EQ(silent.log.back(), "request 5000");
}

}  // namespace
