// The happy path with every default answer, one screenshot per screen: what
// the README's sample command shows. Run on each product's setup executable,
// it checks the product's own captions, folder and boxes.
#include "../pilot/pilot.h"

using namespace pilot;

SCENARIO_BY_HAND(sample_tour, 800, 600)
{
    Process setup = StartSetup();
    if (WaitTop("#32770", "Cratewise For Windows", 15000, setup.pid))
        Shot("splash");
    HWND page = WaitPage(AgreementCaption(), 20000);
    CHECK(Text(Item(page, IDC_AGREEMENT_TEXT)).size() > 0);
    Shot("agreement");
    Press(page, IDC_AFFIRM);

    page = WaitPage(LocationCaption());
    std::string folder = Text(Item(page, IDC_FOLDER_EDIT));
    CHECK_EQ(folder.substr(folder.rfind('\\') + 1), Product());
    Shot("location");
    Press(page, IDC_AFFIRM);

    // One picture per phase, each some way into it so the meter shows its colour.
    page = WaitPage(CopyCaption());
    const char* const phases[][2] = {{"Extracting:", "copy-writing"},
                                     {"Copying:", "copy-expanding"},
                                     {"Removing:", "copy-removing"}};
    for (const auto& [label, name] : phases)
        if (CHECK(WaitUntil([&] { return Text(Item(page, IDC_COPY_ACTION)) == label; }, 30000))) {
            Sleep(700);
            Shot(name);
        }
    CHECK(WaitGone(page, 60000));

    page = WaitPage(GroupCaption(), 120000);
    Shot("group");
    Press(page, IDC_GROUP_CONTINUE);
    Box done = WaitBox(Product(), 60000);
    Shot("group-created");
    Answer(done, IDOK);

    Box question = WaitBox(Installer, 15000, setup.pid);
    Shot("read-me-question");
    Answer(question, IDYES);
    if (HWND notepad = WaitTop("Notepad", "", 15000)) {
        Settle(notepad);
        Shot("read-me");
        PostMessageA(notepad, WM_CLOSE, 0, 0);
        CHECK(WaitGone(notepad, 10000));
    }
    Box thanks = WaitBox(Installer, 15000, setup.pid);
    Shot("thanks");
    // Seen on the screen, not hidden behind the backdrop.
    CHECK_EQ(thanks.icon, "information");
    Answer(thanks, IDOK);
    ExpectExitZero(setup, 60000);
}
