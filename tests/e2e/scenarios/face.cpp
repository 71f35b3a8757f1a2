// The installer's face and frame: the splash that comes first, the backdrop
// read off the screen pixel by pixel at three screen sizes, the full-screen
// window, the agreement page, and the refusals that end the program.
#include "../pilot/flows.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace pilot;

namespace {

// The backdrop's colours (COLORREF 0x00BBGGRR).
const COLORREF StripeColour = 0x680820;
const COLORREF BoxKeyColour = 0x808000;
const COLORREF LabelColour = 0xFFACB0;
const COLORREF StepLitColour = 0xFFF820;
const COLORREF StepDimColour = 0xE88420;
const COLORREF TitleBrightest = 0x0000FF;
const COLORREF TitleDarkest = 0x000080;

const int StripeWidth = 150;
const int AgreementEdit = 200;
const char* const SplashCaption = "Cratewise For Windows";

// The step list: "- License Agreement" to "- Finished", 18 pixels apart.
const int StepCount = 7, StepTop = 120, StepHeight = 18;

std::string Hex(COLORREF colour)
{
    char text[16];
    snprintf(text, sizeof text, "0x%06lX", (unsigned long)colour);
    return text;
}

// A bitmap resource (a packed DIB of 1, 4 or 8 bits, bottom-up, uncompressed)
// as colours, top row first.
Picture DecodeBitmap(int identifier)
{
    std::string dib = SetupResource(MAKEINTRESOURCEA(identifier), (LPCSTR)RT_BITMAP);
    REQUIRE(dib.size() >= sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    memcpy(&header, dib.data(), sizeof header);
    REQUIRE(header.biCompression == BI_RGB && header.biHeight > 0 && header.biBitCount <= 8);
    size_t colours = header.biClrUsed ? header.biClrUsed : (size_t)1 << header.biBitCount;
    size_t table = header.biSize;
    size_t bits = table + 4 * colours;
    size_t rowBytes = ((size_t)header.biWidth * header.biBitCount + 31) / 32 * 4;
    REQUIRE(dib.size() >= bits + rowBytes * header.biHeight);
    Picture picture;
    picture.width = header.biWidth;
    picture.height = header.biHeight;
    picture.pixels.resize((size_t)picture.width * picture.height);
    const BYTE* p = (const BYTE*)dib.data();
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row = p + bits + rowBytes * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            int bit = x * header.biBitCount;
            int index = (row[bit / 8] >> (8 - header.biBitCount - bit % 8)) &
                        ((1 << header.biBitCount) - 1);
            const BYTE* entry = p + table + 4 * index;
            picture.pixels[(size_t)y * picture.width + x] = RGB(entry[2], entry[1], entry[0]);
        }
    }
    return picture;
}

// What the backdrop makes of the box picture: its background, flooded side-on
// from (1, 1), turns into the stripe; the background that the drawing walls
// in keeps the key colour.
Picture FloodedBox(const Picture& box, int* enclosedKeyPixels)
{
    Picture flooded = box;
    std::vector<std::pair<int, int>> todo = {{1, 1}};
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (flooded.At(x, y) != BoxKeyColour)
            continue;
        flooded.pixels[(size_t)y * flooded.width + x] = StripeColour;
        todo.push_back({x + 1, y});
        todo.push_back({x - 1, y});
        todo.push_back({x, y + 1});
        todo.push_back({x, y - 1});
    }
    *enclosedKeyPixels = (int)std::count(flooded.pixels.begin(), flooded.pixels.end(), BoxKeyColour);
    return flooded;
}

// ---- reading the screen ---------------------------------------------------------

struct Found {
    int count = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
};

Found FindColour(const Picture& screen, COLORREF colour, int left, int top, int right,
                 int bottom)
{
    Found found;
    for (int y = std::max(top, 0); y < std::min(bottom, screen.height); ++y)
        for (int x = std::max(left, 0); x < std::min(right, screen.width); ++x)
            if (screen.At(x, y) == colour) {
                ++found.count;
                found.minX = std::min(found.minX, x);
                found.minY = std::min(found.minY, y);
                found.maxX = std::max(found.maxX, x);
                found.maxY = std::max(found.maxY, y);
            }
    return found;
}

// Compares a region of the screen with a picture; logs the first difference.
int Differing(const Picture& screen, int left, int top, const Picture& expected,
              const char* what)
{
    int differing = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (screen.At(left + x, top + y) != expected.At(x, y)) {
                if (!differing)
                    Log("%s: first difference at (%d, %d): screen %s, expected %s", what, x, y,
                        Hex(screen.At(left + x, top + y)).c_str(), Hex(expected.At(x, y)).c_str());
                ++differing;
            }
    return differing;
}

// The stripe runs over x 0 to 149 from top to bottom: its margins left and
// right of everything drawn on it, and the gaps between the pictures and
// texts, are the stripe colour exactly, and it ends at x 150.
void CheckStripe(const Picture& screen)
{
    int wrong = 0;
    auto expect = [&](int x, int y) {
        if (screen.At(x, y) != StripeColour && wrong++ == 0)
            Log("stripe: (%d, %d) is %s", x, y, Hex(screen.At(x, y)).c_str());
    };
    for (int y = 0; y < screen.height; ++y) {
        for (int x = 0; x < 10; ++x)
            expect(x, y);
        for (int x = 140; x < StripeWidth; ++x)
            expect(x, y);
    }
    const int gaps[][2] = {{0, 10}, {41, 100}, {246, screen.height - 180},
                           {screen.height - 12, screen.height}};
    for (const auto& gap : gaps)
        for (int y = gap[0]; y < gap[1]; ++y)
            for (int x = 0; x < StripeWidth; ++x)
                expect(x, y);
    CHECK_EQ(wrong, 0);
    int middle = screen.height / 2;
    CHECK(screen.At(StripeWidth - 1, middle) == StripeColour);
    CHECK(screen.At(StripeWidth, middle) != StripeColour);
}

void CheckHeaderPicture(const Picture& screen)
{
    Picture header = DecodeBitmap(202);
    CHECK_EQ(header.width, 130);
    CHECK_EQ(header.height, 31);
    int differing = Differing(screen, 10, 10, header, "header picture");
    CHECK_EQ(differing, 0);
}

void CheckBoxPicture(const Picture& screen)
{
    Picture box = DecodeBitmap(201);
    CHECK_EQ(box.width, 120);
    CHECK_EQ(box.height, 168);
    CHECK(box.At(1, 1) == BoxKeyColour);
    int enclosed = 0;
    Picture flooded = FloodedBox(box, &enclosed);
    Log("box picture: %d key-colour pixels walled in by the drawing", enclosed);
    CHECK(enclosed > 0);
    int differing = Differing(screen, 15, screen.height - 180, flooded, "box picture");
    CHECK_EQ(differing, 0);
}

// The sample product's title, and the font the backdrop asks for at this
// screen size. (The tagline is drawn by the same layered painter, from the
// sizes the backdrop's unit tests check.)
const char* const TitleText = "Pellomark v1.01";

LOGFONTA TitleFont(int width, int height)
{
    LOGFONTA font = {};
    font.lfHeight = height / 10;
    font.lfWidth = (width - 140) / ((int)strlen(TitleText) + 5);
    font.lfWeight = FW_BOLD;
    font.lfQuality = PROOF_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpyA(font.lfFaceName, "Times New Roman");
    return font;
}

// Where a text's glyphs put ink (pixels in the full text colour, as the
// screen is searched for; smoothed edges are blends) relative to the point it
// is drawn at: drawn here with the same font the installer gets.
RECT MeasureInk(const LOGFONTA& description, const char* text)
{
    RECT ink = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    const int margin = 32;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previousFont = SelectObject(memory, font);
    int length = (int)strlen(text);
    SIZE extent = {};
    GetTextExtentPoint32A(memory, text, length, &extent);
    int width = extent.cx + 2 * margin, height = extent.cy + 2 * margin;
    void* bits = nullptr;
    HBITMAP section = DibSection(width, height, &bits);
    HGDIOBJ previousBitmap = SelectObject(memory, section);
    RECT all = {0, 0, width, height};
    FillRect(memory, &all, (HBRUSH)GetStockObject(BLACK_BRUSH));
    SetBkMode(memory, TRANSPARENT);
    SetTextColor(memory, RGB(255, 255, 255));
    TextOutA(memory, margin, margin, text, length);
    GdiFlush();
    const DWORD* p = (const DWORD*)bits;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if ((p[(size_t)y * width + x] & 0xFFFFFF) == 0xFFFFFF) {
                ink.left = std::min<LONG>(ink.left, x - margin);
                ink.top = std::min<LONG>(ink.top, y - margin);
                ink.right = std::max<LONG>(ink.right, x - margin);
                ink.bottom = std::max<LONG>(ink.bottom, y - margin);
            }
    SelectObject(memory, previousBitmap);
    SelectObject(memory, previousFont);
    DeleteObject(section);
    DeleteObject(font);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ink;
}

// The title's four layers run from (x0, y0) to (x0 + 3, y0 + 3): the
// brightest on top, exactly where the same font puts its ink, the darkest
// showing along the upper left edges.
void CheckTitle(const Picture& screen)
{
    int x0 = screen.width / 32 + 140, y0 = screen.height / 24 - 20;
    RECT ink = MeasureInk(TitleFont(screen.width, screen.height), TitleText);
    Found bright = FindColour(screen, TitleBrightest, StripeWidth, 0, screen.width,
                              screen.height / 2);
    Found dark = FindColour(screen, TitleDarkest, StripeWidth, 0, screen.width,
                            screen.height / 2);
    Log("title: brightest layer expected at (%d, %d)-(%d, %d), found (%d, %d)-(%d, %d)",
        x0 + 3 + (int)ink.left, y0 + 3 + (int)ink.top, x0 + 3 + (int)ink.right,
        y0 + 3 + (int)ink.bottom, bright.minX, bright.minY, bright.maxX, bright.maxY);
    CHECK(bright.count > 100);
    CHECK_EQ(bright.minX, x0 + 3 + (int)ink.left);
    CHECK_EQ(bright.minY, y0 + 3 + (int)ink.top);
    CHECK_EQ(bright.maxX, x0 + 3 + (int)ink.right);
    CHECK_EQ(bright.maxY, y0 + 3 + (int)ink.bottom);
    // Nothing of the title lies left of or above its origin.
    CHECK(bright.minX >= x0 + 3 && bright.minY >= y0 + 3);
    CHECK(dark.count > 0);
    CHECK_EQ(dark.minX, x0 + (int)ink.left);
    CHECK_EQ(dark.minY, y0 + (int)ink.top);
}

// Each label in the lit colour when its step is marked, else in the dim one.
void CheckSteps(const Picture& screen, int stepMask)
{
    for (int step = 0; step < StepCount; ++step) {
        int y = StepTop + step * StepHeight;
        Found lit = FindColour(screen, StepLitColour, 0, y, StripeWidth, y + StepHeight);
        Found dim = FindColour(screen, StepDimColour, 0, y, StripeWidth, y + StepHeight);
        bool marked = (stepMask & (1 << step)) != 0;
        Log("step %d: %d lit, %d dim pixels", step + 1, lit.count, dim.count);
        if (marked) {
            CHECK(lit.count > 20 && dim.count == 0);
        } else {
            CHECK(dim.count > 20 && lit.count == 0);
        }
        Found any = marked ? lit : dim;
        if (any.count)
            CHECK(any.minX >= 10);
    }
}

// "Cratewise:" in the system font at (10, 100).
void CheckInstallerLabel(const Picture& screen)
{
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "Cratewise:", 10, &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    Found label = FindColour(screen, LabelColour, 0, 90, StripeWidth, 120);
    Log("label: (%d, %d)-(%d, %d), %d pixels; text extent %ldx%ld", label.minX, label.minY,
        label.maxX, label.maxY, label.count, size.cx, size.cy);
    CHECK(label.count > 30);
    CHECK(label.minX >= 10 && label.maxX < 10 + size.cx);
    CHECK(label.minY >= 100 && label.maxY < 100 + size.cy);
    CHECK(label.maxX - label.minX > size.cx * 3 / 4);
}

void CheckBackdrop(const Picture& screen, int stepMask)
{
    CheckStripe(screen);
    CheckHeaderPicture(screen);
    CheckBoxPicture(screen);
    CheckSteps(screen, stepMask);
    CheckInstallerLabel(screen);
}

// ---- the splash ---------------------------------------------------------------

void ExpectCentred(HWND page, bool besideStripe)
{
    RECT r = ScreenRect(page);
    int width = r.right - r.left, height = r.bottom - r.top;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    LONG x = besideStripe ? (screenWidth - width + StripeWidth) / 2 : (screenWidth - width) / 2;
    CHECK_EQ(r.left, x);
    CHECK_EQ(r.top, (LONG)((screenHeight - height) / 2));
}

// The splash comes while the backdrop is still hidden, centred on the screen;
// Enter and Escape leave it alone, and it closes by itself about three seconds
// after it showed. Returns the backdrop, visible and painted.
HWND WatchSplash(const Process& setup)
{
    HWND splash = WaitTop("#32770", SplashCaption, 15000, setup.pid);
    REQUIRE(splash);
    DWORD shown = Now();
    CHECK(MainWindow(setup) == nullptr);
    CHECK(MainWindow(setup, false) != nullptr);
    ExpectCentred(splash, false);
    Shot("splash");
    Key(splash, VK_RETURN);
    Key(splash, VK_ESCAPE);
    Settle(splash);
    pilot::Sleep(300);
    CHECK(IsWindow(splash) && IsWindowVisible(splash));
    CHECK(MainWindow(setup) == nullptr);

    HWND main = WaitTop(Installer, Installer, 10000, setup.pid);
    REQUIRE(main);
    DWORD lasted = Now() - shown;
    Log("the splash lasted about %lu ms", (unsigned long)lasted);
    CHECK(lasted >= 2500 && lasted <= 4500);
    CHECK(!IsWindow(splash) || !IsWindowVisible(splash));
    Settle(main);
    return main;
}

// ---- the agreement page -------------------------------------------------------

void CheckAgreementPage(HWND page)
{
    ExpectCentred(page, true);
    RECT r = ScreenRect(page);
    CHECK(r.left >= StripeWidth);
    LONG style = GetWindowLongA(page, GWL_STYLE);
    CHECK((style & (WS_THICKFRAME | WS_SYSMENU)) == (WS_THICKFRAME | WS_SYSMENU));

    std::string agreement = SetupResource("Agreement");
    CHECK(agreement.size() > 0);
    CHECK(agreement.size() >= 2 && agreement.substr(agreement.size() - 2) == "\r\n");
    HWND edit = Item(page, AgreementEdit);
    std::string shown = Text(edit);
    CHECK_EQ(shown.size(), agreement.size());
    CHECK(shown == agreement);
    CHECK(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    CHECK_EQ(ItemText(page, IDOK), std::string("I Agree"));
    CHECK_EQ(ItemText(page, IDCANCEL), std::string("I Disagree"));

    // What a user can do to the text changes nothing: typing over it,
    // clearing, cutting or pasting over it.
    Type(page, AgreementEdit, "changed");
    CHECK(Text(edit) == agreement);
    for (UINT message : {WM_CLEAR, WM_CUT, WM_PASTE}) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
        SendMessageTimeoutA(edit, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        CHECK(Text(edit) == agreement);
    }
}

// The main window: a borderless popup of class "Cratewise" over the screen.
void CheckMainWindow(HWND main)
{
    LONG style = GetWindowLongA(main, GWL_STYLE);
    CHECK_EQ(style & ~(WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED), (LONG)WS_POPUP);
    CHECK(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT r = ScreenRect(main);
    RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    CHECK(EqualRect(&r, &screen));
}

// The refusals: the first page comes about a second after the backdrop; the
// refusal shows the abort notice, owned by the page, and ends the program
// with exit code 0 before any other page, having written nothing, whatever
// the command line said.
void Refuse(const std::string& arguments, void (*act)(HWND page), bool onFolderPage = false)
{
    Snapshot before = TakeSnapshot();
    Process setup = Launch(Opts().setup, arguments);
    HWND main = WaitTop(Installer, Installer, 20000, setup.pid);
    REQUIRE(main);
    DWORD shown = Now();
    REQUIRE(WaitTop("#32770", AgreementCaption(), 10000, setup.pid));
    DWORD delay = Now() - shown;
    Log("first page after %lu ms", (unsigned long)delay);
    CHECK(delay >= 700 && delay <= 2500);
    CheckMainWindow(main);
    HWND page = WaitPage(AgreementCaption());
    if (onFolderPage) {
        Press(page, IDOK);
        page = WaitPage(LocationCaption());
    } else {
        CheckAgreementPage(page);
    }
    Shot("refused");
    act(page);
    Box box = WaitBox(Installer, 10000, setup.pid);
    CHECK_EQ(box.text, std::string(AbortText));
    CHECK_EQ(box.icon, std::string("warning"));
    CHECK(GetWindow(box.window, GW_OWNER) == page);
    Answer(box, IDOK);
    ExpectExitZero(setup);
    CHECK(!WaitTop("#32770", onFolderPage ? CopyCaption() : LocationCaption(), 0));
    ExpectUnchanged(before);
}

// The whole face at one screen size: the splash, the backdrop before the
// first step, and with the agreement page at step 1; then "I Agree" goes on
// to the folder page at step 2.
void WalkTheFace()
{
    Process setup = StartSetup();
    HWND main = WatchSplash(setup);
    CHECK(!WaitTop("#32770", AgreementCaption(), 0, setup.pid));
    Picture waiting = Shot("backdrop");
    CHECK(!WaitTop("#32770", AgreementCaption(), 0, setup.pid));
    CheckBackdrop(waiting, 0);
    CheckTitle(waiting);

    HWND page = WaitPage(AgreementCaption());
    Picture agreement = Shot("agreement");
    CheckBackdrop(agreement, 1);
    CheckTitle(agreement);
    CheckAgreementPage(page);

    Press(page, IDOK);
    HWND location = WaitPage(LocationCaption());
    CHECK(!IsWindow(page) || !IsWindowVisible(page));
    CHECK(IsWindowVisible(main));
    Picture next = Shot("location");
    CheckSteps(next, 2);
    Press(location, IDCANCEL);
    ExpectAbortNotice(setup.pid);
    ExpectExitZero(setup);
}

} // namespace

SCENARIO(face_at_640x480, 640, 480)
{
    WalkTheFace();
}

SCENARIO(face_at_800x600, 800, 600)
{
    WalkTheFace();
}

SCENARIO(face_at_1024x768, 1024, 768)
{
    WalkTheFace();
}

SCENARIO(agreement_refused_with_i_disagree, 800, 600)
{
    Refuse("", [](HWND page) { Press(page, IDCANCEL); });
}

SCENARIO(agreement_refused_with_escape, 640, 480)
{
    Refuse("/S /D=C:\\elsewhere --help", [](HWND page) { Key(page, VK_ESCAPE); });
}

SCENARIO(agreement_refused_with_close, 1024, 768)
{
    Refuse("", [](HWND page) { CloseFromSystemMenu(page); });
}

SCENARIO(cancel_on_the_folder_page_writes_nothing, 800, 600)
{
    Refuse("", [](HWND page) { Press(page, IDCANCEL); }, true);
}
