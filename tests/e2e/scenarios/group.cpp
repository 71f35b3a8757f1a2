// The program group page against our own Program Manager, which lists what
// we choose, records every command and refuses or holds back the ones we
// name. (Wine's, which really makes the group, is met in completion.cpp.)
#include "group_steps.h"


using namespace pilot;

namespace {

// Our Program Manager, started once Wine's explorer runs so that ours is the
// one the installer reaches, then the pages up to the group page.
HWND ReachGroupWith(FakeProgman* server, const std::string& reply, const std::string& refuse = "",
                    const std::string& block = "")
{
    HWND agreement = WaitPage(AgreementCaption(), 20000);
    *server = StartFakeProgman(reply, refuse, block);
    Press(agreement, IDOK);
    Press(WaitPage(LocationCaption()), IDOK);
    return WaitPage(GroupCaption(), 60000);
}

std::vector<std::string> AllCommands(const FakeProgman& server)
{
    std::vector<std::string> commands;
    for (const std::string& line : server.Lines()) {
        size_t space = line.find(' ');
        std::string kind = line.substr(0, space);
        if (kind == "execute" || kind == "refused" || kind == "blocked")
            commands.push_back(line.substr(space + 1));
    }
    return commands;
}

// Waits until our Program Manager has received this many commands of any kind.
bool WaitCommands(const FakeProgman& server, size_t count, DWORD milliseconds)
{
    return WaitUntil([&] { return AllCommands(server).size() >= count; }, milliseconds);
}

} // namespace

// Our Program Manager lists groups in its own order, with an empty line, a
// name longer than an item's paint buffer and text after the last line end.
SCENARIO(group_list_and_names_with_our_server, 800, 600)
{
    Process setup = StartSetup();
    const std::string longName = "Long group name " + std::string(104, 'x');
    FakeProgman server;
    HWND page = ReachGroupWith(&server, "Games\r\npellomark\r\n\r\nAccessories\r\n" + longName +
                                            "\r\nTrailing without a line end" + std::string(1, '\0'));
    Shot("group-list");
    CheckPageAtStart(page);
    CHECK_EQ(Listed(server.Lines()), Listed({"ready", "connect PROGMAN", "request PROGMAN"}));
    CHECK_EQ(Listed(GroupItems(page)),
             Listed({"", "Accessories", "Games", longName, "pellomark"}));
    CHECK_EQ(GroupSelection(page), 4);

    // Refused names: the page stays and nothing is sent.
    const struct { const char* name; const char* text; } refusals[] = {
        {"", "Group may not be empty!"},
        {"Tools\")][ExitProgman(1)][(\"", "Group may not contain quotes!"},
    };
    for (const auto& refusal : refusals) {
        TypeGroup(page, refusal.name);
        Press(page, GroupContinue);
        Box box = WaitBox(Installer, 10000, setup.pid);
        CHECK_EQ(box.text, std::string(refusal.text));
        CHECK_EQ(box.icon, std::string("warning"));
        Answer(box, IDOK);
    }
    CHECK(IsWindowVisible(page));
    CHECK(server.Commands().empty());

    // Reset brings the product's name and its group back.
    TypeGroup(page, "Something else");
    CHECK_EQ(GroupFieldText(page), std::string("Something else"));
    Press(page, GroupReset);
    Settle(page);
    CHECK_EQ(GroupFieldText(page), std::string("Pellomark"));
    CHECK_EQ(GroupSelection(page), 4);

    // Forty characters typed; the first 39 make the group. A second press
    // while the commands go out starts no second sequence.
    const std::string typed = "Forty characters of group name, typed..";
    REQUIRE_EQ(typed.size(), 39u);
    TypeGroup(page, typed + "!");
    CHECK_EQ(GroupFieldText(page), typed + "!");
    Press(page, GroupContinue);
    pilot::Sleep(2500);
    Press(page, GroupContinue);
    ExpectShortcutsCreated(typed);
    CHECK_EQ(Listed(server.Commands()), Listed(GroupCommands(typed)));

    AnswerReadMe(setup.pid, IDNO);
    ExpectThanks(setup.pid);
    ExpectExitZero(setup);
    std::vector<std::string> commands = server.Commands();
    CHECK_EQ(commands.size(), 11u);
    if (commands.size() == 11u)
        CHECK_EQ(commands.back(), "[ShowGroup(\"" + typed + "\",1)]");
    std::string group;
    CHECK(RegText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Group", &group));
    CHECK_EQ(group, typed);
}

// A refused item: every row is still sent, then the failure and the abort.
SCENARIO(group_refused_item_aborts, 800, 600)
{
    Process setup = StartSetup();
    FakeProgman server;
    HWND page = ReachGroupWith(&server, std::string("\r\n\0", 3), "Quodpost.exe\"");
    CHECK(GroupItems(page).empty());
    DWORD pressed = Now();
    Press(page, GroupContinue);
    Box failed = WaitBox(Installer, 60000, setup.pid);
    Shot("failed");
    CHECK_EQ(failed.text, std::string("Unable To Create Shortcuts!"));
    CHECK_EQ(failed.icon, std::string("error"));
    // Eight commands went through with their pauses, then the last pause.
    CHECK(Now() - pressed >= 8500);
    std::vector<std::string> sent = GroupCommands("Pellomark");
    sent.pop_back();
    CHECK_EQ(Listed(AllCommands(server)), Listed(sent));
    CHECK_EQ(Listed(server.Commands("refused")),
             Listed({"[AddItem(\"C:\\Dornwick\\Pellomark\\Quodpost.exe\",\"Pellomark\")]"}));
    Answer(failed, IDOK);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, VersionKey));
}

// The last command is never confirmed: the page waits until Escape.
SCENARIO(group_last_command_never_confirmed, 800, 600)
{
    Process setup = StartSetup();
    FakeProgman server;
    HWND page = ReachGroupWith(&server, std::string("\r\n\0", 3), "", "\",6)]");
    Press(page, GroupContinue);
    REQUIRE(WaitCommands(server, 10, 60000));
    CHECK_EQ(Listed(server.Commands("blocked")), Listed({"[ShowGroup(\"Pellomark\",6)]"}));
    // Well past the confirmation timer's 3 s: still waiting, still usable.
    pilot::Sleep(6000);
    Shot("waiting");
    CHECK(IsWindowVisible(page));
    CHECK(IsWindowEnabled(page));
    CHECK(!WaitTop("#32770", "Pellomark", 0, setup.pid));
    Key(page, VK_ESCAPE);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
}
