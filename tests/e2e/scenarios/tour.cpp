// The happy path with every default answer, one screenshot per screen: what
// the README's sample command shows. Each page has its own step below.
#include "../pilot/flows.h"
#include "group_steps.h"

using namespace pilot;

namespace {

// The licence beside the backdrop's stripe, its text in the read-only field.
void TourAgreement(const Process& setup)
{
    (void)setup;
    HWND page = WaitPage(AgreementCaption(), 20000);
    CHECK(ScreenRect(page).left >= 150);
    HWND text = Item(page, 200);
    CHECK(GetWindowLongA(text, GWL_STYLE) & ES_READONLY);
    CHECK(Text(text).size() > 0);
    Shot("agreement");
    Press(page, IDOK);
}

void TourLocation(const Process& setup)
{
    (void)setup;
    HWND page = WaitPage(LocationCaption());
    // The default folder's view: the header, the drive root and one item per
    // folder on the path, the last one current; nothing below, as the folder
    // does not exist yet.
    HWND list = Item(page, 301);
    std::string folder = ItemText(page, 300);
    CHECK(folder.size() > Product().size() &&
          folder.compare(folder.size() - Product().size() - 1, std::string::npos,
                         "\\" + Product()) == 0);
    LRESULT items = 1 + std::count(folder.begin(), folder.end(), '\\') + 1;
    CHECK_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), items);
    CHECK_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), items - 1);
    Shot("location");
    Press(page, IDOK);
    CHECK(WaitGone(page, 10000));
}

// One picture per phase, each some way into it so the meter shows its colour.
void TourCopy(const Process& setup)
{
    (void)setup;
    HWND page = WaitPage(CopyCaption());
    const struct {
        const char* action;
        const char* shot;
    } phases[] = {{"Extracting:", "copy-writing"},
                  {"Copying:", "copy-expanding"},
                  {"Removing:", "copy-removing"}};
    for (const auto& phase : phases) {
        bool reached = WaitUntil(
            [&] { return IsWindow(page) && Text(GetDlgItem(page, 400)) == phase.action; }, 30000);
        if (!CHECK(reached))
            break;
        ::pilot::Sleep(700);
        Shot(phase.shot);
    }
    CHECK(WaitGone(page, 60000));
}

void TourGroup(const Process& setup)
{
    (void)setup;
    HWND page = WaitPage(GroupCaption(), 20000);
    Shot("group");
    Press(page, GroupContinue);
    Box done = WaitBox(Product(), 60000);
    Shot("group-created");
    Answer(done, IDOK);
}

void TourCompletion(const Process& setup)
{
    Box question = WaitBox(Installer, 15000, setup.pid);
    Shot("read-me-question");
    Answer(question, IDYES);
    HWND notepad = WaitTop("Notepad", "", 15000);
    if (notepad) {
        Settle(notepad);
        Shot("read-me");
        PostMessageA(notepad, WM_CLOSE, 0, 0);
        CHECK(WaitGone(notepad, 10000));
    }
    Box thanks = WaitBox(Installer, 15000, setup.pid);
    Shot("thanks");
    Answer(thanks, IDOK);
}

} // namespace

SCENARIO(sample_tour, 800, 600)
{
    Process setup = StartSetup();
    if (WaitTop("#32770", "Cratewise For Windows", 15000, setup.pid))
        Shot("splash");
    TourAgreement(setup);
    TourLocation(setup);
    TourCopy(setup);
    TourGroup(setup);
    TourCompletion(setup);
    ExpectExitZero(setup, 60000);
}
