// The installer's face at the smallest and the largest screen: the splash,
// the backdrop read off the screen pixel by pixel, the agreement page, and
// the refusals that end the program having written nothing.
#include "../pilot/steps.h"
#include "shell/backdrop_logic.h"

#include <algorithm>
#include <climits>
#include <cstring>

using namespace pilot;

namespace {

// The backdrop's colours the shell keeps to itself (COLORREF 0x00BBGGRR).
const COLORREF LabelColour = 0xFFACB0, StepLitColour = 0xFFF820, StepDimColour = 0xE88420;
const COLORREF TitleBrightest = 0x0000FF, TitleDarkest = 0x000080;
const int StripeWidth = StripeBandWidth;
// The step list: "- License Agreement" to "- Finished", 18 pixels apart.
const int StepTop = 120, StepHeight = 18;
const char* const TitleText = "Pellomark v1.01";

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
    size_t bits = header.biSize + 4 * colours;
    size_t rowBytes = ((size_t)header.biWidth * header.biBitCount + 31) / 32 * 4;
    REQUIRE(dib.size() >= bits + rowBytes * header.biHeight);
    Picture picture;
    picture.width = header.biWidth;
    picture.height = header.biHeight;
    const BYTE* p = (const BYTE*)dib.data();
    for (int y = 0; y < picture.height; ++y) {
        const BYTE* row = p + bits + rowBytes * (picture.height - 1 - y);
        for (int x = 0; x < picture.width; ++x) {
            int bit = x * header.biBitCount;
            int index = (row[bit / 8] >> (8 - header.biBitCount - bit % 8)) &
                        ((1 << header.biBitCount) - 1);
            const BYTE* entry = p + header.biSize + 4 * index;
            picture.pixels.push_back(RGB(entry[2], entry[1], entry[0]));
        }
    }
    return picture;
}

struct Found {
    int count = 0;
    int minX = INT_MAX, minY = INT_MAX, maxX = INT_MIN, maxY = INT_MIN;
};

Found FindColour(const Picture& screen, COLORREF colour, int left, int top, int right, int bottom)
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
int Differing(const Picture& screen, int left, int top, const Picture& expected, const char* what)
{
    int differing = 0;
    for (int y = 0; y < expected.height; ++y)
        for (int x = 0; x < expected.width; ++x)
            if (screen.At(left + x, top + y) != expected.At(x, y) && differing++ == 0)
                Log("%s: first difference at (%d, %d): screen %06lx, expected %06lx", what, x, y,
                    screen.At(left + x, top + y), expected.At(x, y));
    return differing;
}

// The stripe over its band, exactly its colour in the margins either side of
// the header picture and in the gaps between the pictures and texts; then
// the header picture, and the box picture whose background, flooded side-on
// from inside its corner, turns into the stripe while the background that
// its drawing walls in keeps the key colour.
void CheckStripeAndPictures(const Picture& screen)
{
    int wrong = 0;
    auto expect = [&](int x, int y) {
        if (screen.At(x, y) != StripeColor && wrong++ == 0)
            Log("stripe: (%d, %d) is %06lx", x, y, screen.At(x, y));
    };
    for (int y = 0; y < screen.height; ++y)
        for (int x = 0; x < StripeWidth; x += x == HeaderPictureX - 1 ? HeaderPictureWidth + 1 : 1)
            expect(x, y);
    const int gaps[][2] = {{0, HeaderPictureY}, {HeaderPictureY + HeaderPictureHeight, InstallerLabelY},
                           {StepTop + StepRows * StepHeight, screen.height - BoxPictureRise},
                           {screen.height - BoxPictureRise + BoxPictureHeight, screen.height}};
    for (const auto& gap : gaps)
        for (int y = gap[0]; y < gap[1]; ++y)
            for (int x = 0; x < StripeWidth; ++x)
                expect(x, y);
    CHECK_EQ(wrong, 0);
    CHECK(screen.At(StripeWidth, screen.height / 2) != StripeColor);

    Picture header = DecodeBitmap(IDB_HEADER);
    CHECK(header.width == HeaderPictureWidth && header.height == HeaderPictureHeight);
    CHECK_EQ(Differing(screen, HeaderPictureX, HeaderPictureY, header, "header picture"), 0);
    Picture box = DecodeBitmap(IDB_GROUP);
    CHECK(box.width == BoxPictureWidth && box.height == BoxPictureHeight &&
          box.At(BoxFloodX, BoxFloodY) == BoxKeyColor);
    std::vector<std::pair<int, int>> todo = {{BoxFloodX, BoxFloodY}};
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (box.At(x, y) != BoxKeyColor)
            continue;
        box.pixels[(size_t)y * box.width + x] = StripeColor;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    int enclosed = (int)std::count(box.pixels.begin(), box.pixels.end(), BoxKeyColor);
    Log("box picture: %d key-colour pixels walled in by the drawing", enclosed);
    CHECK(enclosed > 0);
    CHECK_EQ(Differing(screen, BoxPictureX, screen.height - BoxPictureRise, box, "box picture"), 0);
}

// Where the title's glyphs put ink in the full text colour relative to where
// it is drawn, with the font the backdrop asks for at this screen size.
RECT MeasureTitleInk(int width, int height)
{
    LOGFONTA description = {};
    description.lfHeight = height / 10;
    description.lfWidth = (width - TitleRight) / ((int)strlen(TitleText) + 5);
    description.lfWeight = FW_BOLD;
    description.lfQuality = PROOF_QUALITY;
    description.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpyA(description.lfFaceName, "Times New Roman");
    RECT ink = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
    const int margin = 32;
    HDC memory = CreateCompatibleDC(nullptr);
    HFONT font = CreateFontIndirectA(&description);
    HGDIOBJ previousFont = SelectObject(memory, font);
    SIZE extent = {};
    GetTextExtentPoint32A(memory, TitleText, (int)strlen(TitleText), &extent);
    int w = extent.cx + 2 * margin, h = extent.cy + 2 * margin;
    void* bits = nullptr;
    HBITMAP section = DibSection(w, h, &bits);
    HGDIOBJ previousBitmap = SelectObject(memory, section);
    SetBkColor(memory, RGB(0, 0, 0));
    SetTextColor(memory, RGB(255, 255, 255));
    RECT all = {0, 0, w, h};
    ExtTextOutA(memory, margin, margin, ETO_OPAQUE, &all, TitleText, (UINT)strlen(TitleText), nullptr);
    GdiFlush();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((((const DWORD*)bits)[(size_t)y * w + x] & 0xFFFFFF) == 0xFFFFFF) {
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
    return ink;
}

// The title's four layers run from (x0, y0) to (x0 + 3, y0 + 3): the
// brightest on top exactly where the font puts its ink, the darkest showing
// along the upper left edges.
void CheckTitle(const Picture& screen)
{
    int x0 = screen.width / 32 + TitleRight, y0 = screen.height / 24 - TitleRise;
    RECT ink = MeasureTitleInk(screen.width, screen.height);
    Found bright = FindColour(screen, TitleBrightest, StripeWidth, 0, screen.width, screen.height / 2);
    Found dark = FindColour(screen, TitleDarkest, StripeWidth, 0, screen.width, screen.height / 2);
    Log("title: brightest layer found at (%d, %d)-(%d, %d)", bright.minX, bright.minY, bright.maxX,
        bright.maxY);
    CHECK(bright.count > 100 && dark.count > 0);
    CHECK_EQ(bright.minX, x0 + 3 + (int)ink.left);
    CHECK_EQ(bright.minY, y0 + 3 + (int)ink.top);
    CHECK_EQ(bright.maxX, x0 + 3 + (int)ink.right);
    CHECK_EQ(bright.maxY, y0 + 3 + (int)ink.bottom);
    CHECK(bright.minX >= x0 + 3 && bright.minY >= y0 + 3);
    CHECK_EQ(dark.minX, x0 + (int)ink.left);
    CHECK_EQ(dark.minY, y0 + (int)ink.top);
}

// Each step's label lit when marked, else dim; "Cratewise:" in the system
// font at (10, 100).
void CheckStepsAndLabel(const Picture& screen, int stepMask)
{
    for (int step = 0; step < StepRows; ++step) {
        int y = StepTop + step * StepHeight;
        Found lit = FindColour(screen, StepLitColour, 0, y, StripeWidth, y + StepHeight);
        Found dim = FindColour(screen, StepDimColour, 0, y, StripeWidth, y + StepHeight);
        bool marked = (stepMask & (1 << step)) != 0;
        Log("step %d: %d lit, %d dim pixels", step + 1, lit.count, dim.count);
        CHECK((marked ? lit : dim).count > 20 && (marked ? dim : lit).count == 0);
        CHECK((marked ? lit : dim).minX >= StepLabelX);
    }
    HDC dc = GetDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "Cratewise:", 10, &size);
    SelectObject(dc, previous);
    ReleaseDC(nullptr, dc);
    Found label = FindColour(screen, LabelColour, 0, 90, StripeWidth, 120);
    CHECK(label.count > 30);
    CHECK(label.minX >= InstallerLabelX && label.maxX < InstallerLabelX + size.cx);
    CHECK(label.minY >= InstallerLabelY && label.maxY < InstallerLabelY + size.cy);
    CHECK(label.maxX - label.minX > size.cx * 3 / 4);
}

void ExpectCentred(HWND window, bool besideStripe)
{
    RECT r = ScreenRect(window);
    int width = r.right - r.left, height = r.bottom - r.top;
    int screenWidth = GetSystemMetrics(SM_CXSCREEN), screenHeight = GetSystemMetrics(SM_CYSCREEN);
    CHECK_EQ(r.left, (LONG)((screenWidth - width + (besideStripe ? StripeWidth : 0)) / 2));
    CHECK_EQ(r.top, (LONG)((screenHeight - height) / 2));
}

void CheckAgreementPage(HWND page)
{
    ExpectCentred(page, true);
    CHECK(ScreenRect(page).left >= StripeWidth);
    LONG style = GetWindowLongA(page, GWL_STYLE);
    CHECK((style & (WS_THICKFRAME | WS_SYSMENU)) == (WS_THICKFRAME | WS_SYSMENU));
    std::string agreement = SetupResource("Agreement");
    CHECK(agreement.size() >= 2 && agreement.substr(agreement.size() - 2) == "\r\n");
    HWND edit = Item(page, IDC_AGREEMENT_TEXT);
    CHECK(Text(edit) == agreement);
    CHECK(GetWindowLongA(edit, GWL_STYLE) & ES_READONLY);
    CHECK_EQ(ItemText(page, IDC_AFFIRM), std::string("I Agree"));
    CHECK_EQ(ItemText(page, IDC_NEGATE), std::string("I Disagree"));
    // Typing over the text, clearing, cutting or pasting over it change nothing.
    Type(page, IDC_AGREEMENT_TEXT, "changed");
    CHECK(Text(edit) == agreement);
    for (UINT message : {WM_CLEAR, WM_CUT, WM_PASTE}) {
        DWORD_PTR ignored;
        SendMessageTimeoutA(edit, EM_SETSEL, 0, -1, SMTO_ABORTIFHUNG, 5000, &ignored);
        SendMessageTimeoutA(edit, message, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
        CHECK(Text(edit) == agreement);
    }
}

} // namespace

namespace pilot {

HWND FirstLook(const Process& setup)
{
    // The splash comes while the backdrop is still hidden; Enter and Escape
    // leave it, and it goes by itself about three seconds after it showed.
    HWND splash = WaitTop("#32770", "Cratewise For Windows", 15000, setup.pid);
    REQUIRE(splash);
    DWORD shown = Now();
    CHECK(!MainWindow(setup) && MainWindow(setup, false));
    ExpectCentred(splash, false);
    Shot("splash");
    Key(splash, VK_RETURN);
    Key(splash, VK_ESCAPE);
    Settle(splash);
    pilot::Sleep(300);
    CHECK(IsWindow(splash) && IsWindowVisible(splash) && !MainWindow(setup));
    HWND main = WaitTop(Installer, Installer, 10000, setup.pid);
    REQUIRE(main);
    DWORD backdrop = Now();
    Log("the splash lasted about %lu ms", (unsigned long)(backdrop - shown));
    CHECK(backdrop - shown >= 2500 && backdrop - shown <= 4500);
    CHECK(!IsWindow(splash) || !IsWindowVisible(splash));

    // The backdrop before the first page, then with it about a second later.
    Settle(main);
    Picture waiting = Shot("backdrop");
    CHECK(!WaitTop("#32770", AgreementCaption(), 0, setup.pid));
    HWND page = WaitPage(AgreementCaption());
    Log("first page after %lu ms", (unsigned long)(Now() - backdrop));
    CHECK(Now() - backdrop >= 700 && Now() - backdrop <= 2500);
    // A borderless popup of class "Cratewise" over the whole screen.
    CHECK_EQ(GetWindowLongA(main, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED),
             (LONG)WS_POPUP);
    CHECK(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT r = ScreenRect(main), screen = {0, 0, waiting.width, waiting.height};
    CHECK(EqualRect(&r, &screen));
    Picture agreement = Shot("agreement");
    for (const Picture* picture : {&waiting, &agreement}) {
        CheckStripeAndPictures(*picture);
        CheckTitle(*picture);
        CheckStepsAndLabel(*picture, picture == &waiting ? 0 : 1);
    }
    CheckAgreementPage(page);
    return page;
}

void ExpectRefused(const Process& setup, HWND page, const std::string& next, const Snapshot& before)
{
    Box box = WaitBox(Installer, 10000, setup.pid);
    CHECK_EQ(box.text, std::string(AbortText));
    CHECK_EQ(box.icon, std::string("warning"));
    CHECK(GetWindow(box.window, GW_OWNER) == page);
    Answer(box, IDOK);
    ExpectExitZero(setup);
    CHECK(!WaitTop("#32770", next, 0));
    ExpectUnchanged(before);
}

} // namespace pilot

// Agree, see step 2 lit on the folder page, cancel there; start again with a
// command line that must change nothing and refuse with Escape.
SCENARIO(first_look_640x480, 640, 480)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    Press(page, IDC_AFFIRM);
    HWND location = WaitPage(LocationCaption());
    CHECK(!IsWindow(page) || !IsWindowVisible(page));
    CHECK(IsWindowVisible(MainWindow(setup)));
    CheckStepsAndLabel(Shot("location"), 2);
    Press(location, IDC_NEGATE);
    ExpectRefused(setup, location, CopyCaption(), before);

    setup = StartSetup("/S /D=C:\\elsewhere --help");
    page = WaitPage(AgreementCaption(), 20000);
    Key(page, VK_ESCAPE);
    ExpectRefused(setup, page, LocationCaption(), before);
}

SCENARIO(first_look_1024x768, 1024, 768)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    CloseFromSystemMenu(page);
    ExpectRefused(setup, page, LocationCaption(), before);
}
