// The program's frame: its window, the start of the wizard, and how it ends.
#include "../pilot/flows.h"

using namespace pilot;

namespace {

// Watches the start-up: the splash comes before the backdrop, and the first
// page about a second after the backdrop shows.
void CheckStartUp(const Process& setup)
{
    HWND splash = WaitTop("#32770", "Cratewise For Windows", 15000, setup.pid);
    REQUIRE(splash);
    DWORD splashSeen = Now();
    CHECK(MainWindow(setup) == nullptr);
    HWND hidden = MainWindow(setup, false);
    CHECK(hidden != nullptr);
    Shot("splash");

    HWND main = WaitTop(Installer, Installer, 10000, setup.pid);
    REQUIRE(main);
    DWORD backdropSeen = Now();
    CHECK(!IsWindow(splash) || !IsWindowVisible(splash));
    Log("splash shown for about %lu ms", (unsigned long)(backdropSeen - splashSeen));
    CHECK(backdropSeen - splashSeen > 2500);

    LONG style = GetWindowLongA(main, GWL_STYLE);
    LONG extended = GetWindowLongA(main, GWL_EXSTYLE);
    CHECK_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED), (LONG)WS_POPUP);
    CHECK(extended & WS_EX_APPWINDOW);
    CHECK(!(style & (WS_CAPTION | WS_BORDER | WS_THICKFRAME | WS_SYSMENU)));
    RECT r = ScreenRect(main);
    CHECK_EQ(r.left, 0l);
    CHECK_EQ(r.top, 0l);
    CHECK_EQ(r.right, (LONG)GetSystemMetrics(SM_CXSCREEN));
    CHECK_EQ(r.bottom, (LONG)GetSystemMetrics(SM_CYSCREEN));

    HWND agreement = WaitTop("#32770", AgreementCaption(), 10000, setup.pid);
    REQUIRE(agreement);
    DWORD delay = Now() - backdropSeen;
    Log("first page after %lu ms", (unsigned long)delay);
    CHECK(delay >= 700 && delay <= 2500);
}

} // namespace

SCENARIO(start_up_and_disagree, 800, 600)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    CheckStartUp(setup);
    HWND agreement = WaitPage(AgreementCaption());
    Shot("agreement");
    Press(agreement, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    for (const std::string& difference : differences)
        Log("  %s", difference.c_str());
    CHECK(differences.empty());
}

SCENARIO(cancel_on_the_folder_page_writes_nothing, 800, 600)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND location = ReachLocation(setup);
    Shot("location");
    Press(location, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    std::vector<std::string> differences = Differences(before, TakeSnapshot());
    for (const std::string& difference : differences)
        Log("  %s", difference.c_str());
    CHECK(differences.empty());
    CHECK(!Exists("C:\\Dornwick"));
}

SCENARIO(arguments_are_ignored, 640, 480)
{
    Process setup = Launch(Opts().setup, "/S /D=C:\\elsewhere --help");
    HWND agreement = WaitPage(AgreementCaption(), 20000);
    Key(agreement, VK_ESCAPE);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
    CHECK(!Exists("C:\\elsewhere"));
}

