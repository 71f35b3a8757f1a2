// Three installations against a Program Manager of our own
// (tools/fake_progman), which lists what we choose, records every command
// and refuses or holds back the ones we name. Each goes to a folder typed
// differently. (Wine's own, which really makes the group, is met in
// install.cpp.)
#include "../pilot/steps.h"

using namespace pilot;

namespace {

std::string Hex(const std::string& bytes)
{
    std::string hex;
    for (unsigned char c : bytes) {
        hex.push_back("0123456789abcdef"[c >> 4]);
        hex.push_back("0123456789abcdef"[c & 15]);
    }
    return hex;
}

struct FakeProgman {
    Process process;
    std::string log;
    // Every line of its log so far, or those of one kind with the kind cut off
    // ("command" for executed, refused and blocked alike).
    std::vector<std::string> Lines(const std::string& kind = "") const
    {
        std::string bytes;
        std::vector<std::string> lines;
        ReadBytes(log, &bytes);
        size_t start = 0;
        for (size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string line = bytes.substr(start, end - start);
            std::string first = line.substr(0, line.find(' '));
            if (kind.empty())
                lines.push_back(line);
            else if (first == kind || (kind == "command" && (first == "execute" || first == "refused" ||
                                                              first == "blocked")))
                lines.push_back(line.substr(first.size() + 1));
        }
        return lines;
    }
};

// Ours is started once Wine's explorer runs (the first page is up), so that
// it is the one the installer reaches; then the pages up to the group page,
// with the folder typed as given: the copy page's labels name it as resolved,
// and every file goes there, into a folder Everyone may not enter.
HWND ReachGroupWith(const Process& setup, FakeProgman* server, const std::string& typed,
                    const std::string& folder, const std::string& reply,
                    const std::string& refuse = "", const std::string& block = "")
{
    HWND agreement = WaitPage(AgreementCaption(), 20000);
    static int started = 0;
    server->log = Opts().work + "\\progman" + std::to_string(++started) + ".log";
    std::string arguments = "--log \"" + server->log + "\" --reply " + Hex(reply);
    if (!refuse.empty())
        arguments += " --refuse " + Hex(refuse);
    if (!block.empty())
        arguments += " --block " + Hex(block);
    server->process = Launch(Opts().tools + "\\fake_progman.exe", arguments);
    REQUIRE(WaitUntil([&] { return !server->Lines().empty() && server->Lines()[0] == "ready"; }, 10000));
    Press(agreement, IDC_AFFIRM);
    HWND location = WaitPage(LocationCaption());
    Type(location, IDC_FOLDER_EDIT, typed);
    Press(location, IDC_AFFIRM);
    Watch watch = WatchCopy(WaitPage(CopyCaption()), setup);
    CheckLabels(watch, folder, ExpectedLabels(folder).size() - 1);
    CheckMeter(watch, 3, 3);
    CheckInstalled(folder);
    CHECK(!EveryoneMayEnter(folder));
    return WaitPage(GroupCaption(), 120000);
}

// The nine commands and the last asynchronous one for a group and a folder.
std::vector<std::string> GroupCommands(const std::string& group, const std::string& folder)
{
    const std::string show = "[ShowGroup(\"" + group + "\",5)]";
    return {"[CreateGroup(\"" + group + "\")]",
            "[AddItem(\"" + Uninstaller() + "\",\"Uninstall\")]", show,
            "[AddItem(\"" + folder + "\\Quodpost.exe\",\"Pellomark\")]", show,
            "[AddItem(\"" + folder + "\\Quodpost.hlp\",\"Help\")]", show,
            "[AddItem(\"" + folder + "\\Read_me.txt\",\"Read Me\")]", show,
            "[ShowGroup(\"" + group + "\",6)]"};
}

} // namespace

SCENARIO(group_with_our_program_manager, 800, 600)
{
    // A folder several new levels deep, typed with "." and ".." and a final
    // backslash, is made as the system resolves it and the files go there.
    // The last command is never confirmed: the page waits, well past the
    // confirmation timer's 3 s, still usable, until Escape.
    const std::string resolved = "C:\\Apps\\Suite\\Tools\\Pellomark";
    Process setup = StartSetup();
    FakeProgman server;
    HWND page = ReachGroupWith(setup, &server, "C:\\Apps\\Old\\..\\Suite\\.\\Tools\\Pellomark\\",
                               resolved, std::string("\r\n\0", 3), "", "\",6)]");
    CHECK(!Exists("C:\\Apps\\Old"));
    Press(page, IDC_GROUP_CONTINUE);
    REQUIRE(WaitUntil([&] { return server.Lines("command").size() >= 10; }, 60000));
    CHECK_EQ(Listed(server.Lines("blocked")), Listed({"[ShowGroup(\"Pellomark\",6)]"}));
    pilot::Sleep(6000);
    Shot("waiting");
    CHECK(IsWindowVisible(page) && IsWindowEnabled(page));
    CHECK(!WaitTop("#32770", "Pellomark", 0, setup.pid));
    Key(page, VK_ESCAPE);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry));
    Kill(server.process);

    // The longest folder that fits, though it does not exist yet. A refused
    // item: every row is still sent with its pauses, then the failure and
    // the abort.
    const std::string longest = "C:\\" + std::string(111, 'a');
    setup = StartSetup();
    page = ReachGroupWith(setup, &server, longest, longest, std::string("\r\n\0", 3),
                          "Quodpost.exe\"");
    CHECK(GroupItems(page).empty());
    DWORD pressed = Now();
    Press(page, IDC_GROUP_CONTINUE);
    Box failed = WaitBox(Installer, 60000, setup.pid);
    Shot("failed");
    CHECK_EQ(failed.text, std::string("Unable To Create Shortcuts!"));
    CHECK_EQ(failed.icon, std::string("error"));
    CHECK(Now() - pressed >= 8500);
    std::vector<std::string> sent = GroupCommands("Pellomark", longest);
    sent.pop_back();
    CHECK_EQ(Listed(server.Lines("command")), Listed(sent));
    CHECK_EQ(Listed(server.Lines("refused")),
             Listed({"[AddItem(\"" + longest + "\\Quodpost.exe\",\"Pellomark\")]"}));
    Answer(failed, IDOK);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!RegKeyExists(HKEY_LOCAL_MACHINE, UninstallEntry) &&
          !RegKeyExists(HKEY_LOCAL_MACHINE, VersionKey));
    Kill(server.process);

    // Groups in our own order, with an empty line, a name longer than an
    // item's paint buffer and text after the last line end.
    const std::string longName = "Long group name " + std::string(104, 'x');
    setup = StartSetup();
    page = ReachGroupWith(setup, &server, DefaultFolder, DefaultFolder,
                          "Games\r\npellomark\r\n\r\nAccessories\r\n" + longName +
                              "\r\nTrailing without a line end" + std::string(1, '\0'));
    Shot("group-list");
    CheckGroupPageAtStart(page);
    CHECK_EQ(Listed(server.Lines()), Listed({"ready", "connect PROGMAN", "request PROGMAN"}));
    CHECK_EQ(Listed(GroupItems(page)), Listed({"", "Accessories", "Games", longName, "pellomark"}));
    CHECK_EQ(GroupSelection(page), 4);
    // Refused names: the page stays and nothing is sent.
    for (const auto& [name, text] : {std::pair<std::string, std::string>{"", "Group may not be empty!"},
                                     {"Tools\")][ExitProgman(1)][(\"", "Group may not contain quotes!"}}) {
        TypeGroup(page, name);
        Press(page, IDC_GROUP_CONTINUE);
        ExpectBox(setup.pid, Installer, text, "warning", IDOK, 10000);
    }
    CHECK(IsWindowVisible(page));
    CHECK(server.Lines("execute").empty());
    // Reset brings the product's name and its group back.
    TypeGroup(page, "Something else");
    CHECK_EQ(GroupFieldText(page), std::string("Something else"));
    Press(page, IDC_GROUP_RESET);
    Settle(page);
    CHECK_EQ(GroupFieldText(page), std::string("Pellomark"));
    CHECK_EQ(GroupSelection(page), 4);
    // Forty characters typed; the first 39 make the group. A second press
    // while the commands go out starts no second sequence; the installer
    // shows the group once more as it ends.
    const std::string typed = "Forty characters of group name, typed..";
    TypeGroup(page, typed + "!");
    CHECK_EQ(GroupFieldText(page), typed + "!");
    Press(page, IDC_GROUP_CONTINUE);
    pilot::Sleep(2500);
    Press(page, IDC_GROUP_CONTINUE);
    FinishGroup(setup, typed, IDNO);
    ExpectExitZero(setup);
    std::vector<std::string> commands = GroupCommands(typed, DefaultFolder);
    commands.push_back("[ShowGroup(\"" + typed + "\",1)]");
    CHECK_EQ(Listed(server.Lines("execute")), Listed(commands));
    std::string group;
    CHECK(RegText(HKEY_LOCAL_MACHINE, UninstallEntry, "Program Group", &group));
    CHECK_EQ(group, typed);
}
