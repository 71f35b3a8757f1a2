// The program group page: against Wine's own Program Manager, which really
// makes the group, and against ours, which lists what we choose, records
// every command and refuses or holds back the ones we name.
#include "group_steps.h"

#include <algorithm>

using namespace pilot;

namespace {

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return (char)tolower(c); });
    return text;
}

void CheckPageAtStart(HWND page)
{
    CHECK_EQ(Text(page), GroupCaption());
    CHECK_EQ(ItemText(page, 600),
             std::string("Shortcuts for Pellomark will be installed to the following group:"));
    CHECK_EQ(GroupFieldText(page), std::string("Pellomark"));
    CHECK(IsWindowEnabled(Item(page, GroupContinue)));
    CHECK(IsWindowEnabled(Item(page, GroupReset)));
}

// Waits until our Program Manager has received this many commands of any kind.
bool WaitCommands(const FakeProgman& server, size_t count, DWORD milliseconds)
{
    return WaitUntil(
        [&] {
            return server.Commands("execute").size() + server.Commands("refused").size() +
                       server.Commands("blocked").size() >=
                   count;
        },
        milliseconds);
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

} // namespace

// Wine's Program Manager answers the group list with an empty list and makes
// the group folder with one shortcut per row.
SCENARIO(group_with_wines_program_manager, 800, 600)
{
    Process setup = StartSetup();
    HWND page = ReachGroup(setup);
    Shot("group");
    CheckPageAtStart(page);
    CHECK(GroupItems(page).empty());
    CHECK_EQ(GroupSelection(page), -1);

    PlaceInstalledFiles();
    DWORD pressed = Now();
    Press(page, GroupContinue);
    ExpectShortcutsCreated("Pellomark");
    // Nine paced commands and the pause before the last, then the 3 s timer.
    DWORD took = Now() - pressed;
    Log("the success box came %lu ms after Continue", (unsigned long)took);
    CHECK(took >= 12000);
    CHECK(WaitGone(page, 5000));

    AnswerReadMe(setup.pid, IDNO);
    ExpectThanks(setup.pid);
    CHECK(FindTop("Notepad", "") == nullptr);
    ExpectExitZero(setup);

    std::string folder = GroupFolder("Pellomark");
    std::vector<std::string> names = ShortcutNames(folder);
    CHECK_EQ(names.size(), 4u);
    struct Expected {
        const char* name;
        std::string target;
    } expected[] = {
        {"Help.lnk", std::string(InstallFolder) + "\\Quodpost.hlp"},
        {"Pellomark.lnk", std::string(InstallFolder) + "\\Quodpost.exe"},
        {"Read Me.lnk", std::string(InstallFolder) + "\\Read_me.txt"},
        {"Uninstall.lnk", WindowsDirectory() + "\\Quodgone.exe"},
    };
    for (const Expected& item : expected) {
        CHECK(std::find(names.begin(), names.end(), item.name) != names.end());
        CHECK_EQ(Lower(ShortcutTarget(folder + "\\" + item.name)), Lower(item.target));
    }
}
