// The installer's face at the smallest and the largest screen: the splash,
// the backdrop read off the screen pixel by pixel, the agreement page, and
// the refusals that end the program having written nothing.
#include "../pilot/pilot.h"
#include "shell/backdrop_logic.h"

#include <climits>

using namespace pilot;

namespace {

const char* const TitleText = "Pellomark v1.01";

// A bitmap resource (a packed DIB of 1, 4 or 8 bits) as the system draws it.
Picture DecodeBitmap(int identifier)
{
    std::string dib = SetupResource(MAKEINTRESOURCEA(identifier), (LPCSTR)RT_BITMAP);
    const BITMAPINFOHEADER* h = (const BITMAPINFOHEADER*)dib.data();
    REQUIRE(dib.size() >= sizeof *h && h->biCompression == BI_RGB && h->biBitCount <= 8);
    size_t bits = h->biSize + 4 * (h->biClrUsed ? h->biClrUsed : (size_t)1 << h->biBitCount);
    REQUIRE(dib.size() >= bits + (size_t)(h->biWidth * h->biBitCount + 31) / 32 * 4 * h->biHeight);
    return Drawn(h->biWidth, h->biHeight, [&](HDC dc) {
        SetDIBitsToDevice(dc, 0, 0, h->biWidth, h->biHeight, 0, 0, 0, h->biHeight,
                          dib.data() + bits, (const BITMAPINFO*)h, DIB_RGB_COLORS);
    });
}

// The pixels of an area that pass a test: how many, and their bounds (logged
// when named).
struct Found {
    int count = 0;
    RECT bounds = {INT_MAX, INT_MAX, INT_MIN, INT_MIN};
};

Found Where(RECT area, const std::function<bool(int, int)>& holds, const char* what = nullptr)
{
    Found found;
    RECT& b = found.bounds;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (holds(x, y))
                ++found.count, b = {std::min<LONG>(b.left, x), std::min<LONG>(b.top, y),
                                    std::max<LONG>(b.right, x), std::max<LONG>(b.bottom, y)};
    if (what)
        Log("%s: %d pixels within (%ld, %ld)-(%ld, %ld)", what, found.count, b.left, b.top, b.right,
            b.bottom);
    return found;
}

Found Colour(const Picture& picture, COLORREF colour, RECT area, const char* what = nullptr)
{
    return Where(
        area, [&](int x, int y) { return picture.At(x, y) == colour; }, what);
}

// Where a font puts the ink of a text drawn at (x, y).
RECT Ink(HFONT font, const char* text, int x, int y)
{
    Picture ink = Drawn(1200, 400, [&](HDC dc) {
        HGDIOBJ previous = SelectObject(dc, font);
        SetBkColor(dc, RGB(0, 0, 0));
        SetTextColor(dc, RGB(255, 255, 255));
        TextOutA(dc, 32, 32, text, (int)strlen(text));
        SelectObject(dc, previous);
    });
    RECT glyphs = Colour(ink, 0xFFFFFF, {0, 0, ink.width, ink.height}).bounds;
    OffsetRect(&glyphs, x - 32, y - 32);
    return glyphs;
}

// The stripe over its band pixel for pixel: its colour, the header picture,
// and the box picture whose background, flooded side-on from inside its
// corner, turns into the stripe while the background that its drawing walls
// in keeps the key colour; nothing is expected where the texts go. Then the
// title's four layers from (x0, y0) to (x0 + 3, y0 + 3): the brightest on
// top exactly where the font the backdrop asks for at this screen size puts
// its ink, the darkest showing along the upper left edges. Then each step's
// label lit when marked, else dim, and "Cratewise:" in the system font.
void CheckBackdrop(const Picture& screen, int stepMask)
{
    Picture header = DecodeBitmap(IDB_HEADER), box = DecodeBitmap(IDB_GROUP);
    CHECK(header.width == HeaderPictureWidth && header.height == HeaderPictureHeight &&
          box.width == BoxPictureWidth && box.height == BoxPictureHeight &&
          box.At(BoxFloodX, BoxFloodY) == BoxKeyColor);
    for (std::vector<std::pair<int, int>> todo = {{BoxFloodX, BoxFloodY}}; !todo.empty();) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (box.At(x, y) == BoxKeyColor) {
            box.pixels[(size_t)y * box.width + x] = StripeColor;
            todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
        }
    }
    CHECK(std::count(box.pixels.begin(), box.pixels.end(), BoxKeyColor) > 0);
    int boxTop = screen.height - BoxPictureRise;
    auto wrong = [&](int x, int y) {
        COLORREF want = header.At(x - HeaderPictureX, y - HeaderPictureY);
        if (want == CLR_INVALID)
            want = box.At(x - BoxPictureX, y - boxTop);
        bool texts = x >= HeaderPictureX && x < HeaderPictureX + HeaderPictureWidth &&
                     y >= InstallerLabelY && y < StepListTop + StepRows * StepRowPitch;
        return want == CLR_INVALID ? !texts && screen.At(x, y) != StripeColor
                                   : screen.At(x, y) != want;
    };
    CHECK_EQ(Where({0, 0, StripeWidth, screen.height}, wrong, "stripe: wrong").count, 0);
    CHECK(screen.At(StripeWidth, screen.height / 2) != StripeColor);

    HFONT font = CreateFontA(
        screen.height / 10, (screen.width - TitleIndent) / ((int)strlen(TitleText) + 5), 0, 0,
        FW_BOLD, 0, 0, 0, 0, 0, 0, PROOF_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    RECT glyphs = Ink(font, TitleText, screen.width / 32 + TitleIndent,
                      screen.height / 24 - TitleRise);
    DeleteObject(font);
    RECT upperHalf = {StripeWidth, 0, screen.width, screen.height / 2};
    Found bright = Colour(screen, TitleShades[3], upperHalf, "title: brightest layer");
    Found dark = Colour(screen, TitleShades[0], upperHalf);
    CHECK(bright.count > 100 && dark.count > 0);
    CHECK(dark.bounds.left == glyphs.left && dark.bounds.top == glyphs.top);
    OffsetRect(&glyphs, 3, 3);
    CHECK(EqualRect(&bright.bounds, &glyphs));

    for (int step = 0; step < StepRows; ++step) {
        RECT row = {0, StepListTop + step * StepRowPitch, StripeWidth,
                    StepListTop + (step + 1) * StepRowPitch};
        bool marked = stepMask & (1 << step);
        Found on = Colour(screen, marked ? StepLitColor : StepDimColor, row);
        Found off = Colour(screen, marked ? StepDimColor : StepLitColor, row);
        if (!CHECK(on.count > 20 && off.count == 0 && on.bounds.left >= StepLabelX))
            Log("step %d: %d pixels as it should be, %d not", step + 1, on.count, off.count);
    }
    glyphs = Ink((HFONT)GetStockObject(SYSTEM_FONT), "Cratewise:", InstallerLabelX,
                 InstallerLabelY);
    Found label = Colour(screen, LabelColor, {0, 90, StripeWidth, StepListTop}, "label");
    CHECK(EqualRect(&label.bounds, &glyphs));
}

}  // namespace

HWND pilot::FirstLook(const Process& setup)
{
    // The splash comes while the backdrop is still hidden; Enter and Escape
    // leave it, and it goes by itself about three seconds after it showed.
    HWND splash = WaitPage("Cratewise For Windows", 15000, setup.pid);
    DWORD shown = foundAt;
    HWND main = FindWindowA(Installer, Installer);
    CHECK(main && !IsWindowVisible(main));
    Shot("splash");
    Key(splash, VK_RETURN);
    Key(splash, VK_ESCAPE);
    Settle(splash);
    Sleep(300);
    CHECK(IsWindowVisible(splash) && !IsWindowVisible(main));
    REQUIRE(WaitUntil([&] { return IsWindowVisible(main); }, 10000));
    DWORD backdrop = GetTickCount();
    Log("the splash lasted about %lu ms", backdrop - shown);
    CHECK(backdrop - shown >= 2500 && backdrop - shown <= 4500 && !IsWindowVisible(splash));

    // The backdrop before the first page, then with it about a second later:
    // a borderless popup of class "Cratewise" over the whole screen.
    Settle(main);
    Picture waiting = Shot("backdrop");
    CHECK(!WaitTop("#32770", AgreementCaption(), 0, setup.pid));
    HWND page = WaitPage(AgreementCaption());
    DWORD after = GetTickCount() - backdrop;
    Log("first page after %lu ms", after);
    CHECK(after >= 700 && after <= 2500);
    CHECK_EQ(GetWindowLongA(main, GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS | WS_DISABLED),
             (LONG)WS_POPUP);
    CHECK(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    RECT r = {}, screen = {0, 0, waiting.width, waiting.height};
    GetWindowRect(main, &r);
    CHECK(EqualRect(&r, &screen));
    CheckBackdrop(waiting, 0);
    CheckBackdrop(Shot("agreement"), StepAgreement);
    // Sizeable with a system menu, right of the stripe; the executable's
    // agreement, read-only.
    GetWindowRect(page, &r);
    CHECK(r.left >= StripeWidth);
    CHECK((GetWindowLongA(page, GWL_STYLE) & (WS_THICKFRAME | WS_SYSMENU)) ==
          (WS_THICKFRAME | WS_SYSMENU));
    CHECK(Text(Item(page, IDC_AGREEMENT_TEXT)) == SetupResource("Agreement"));
    CHECK(GetWindowLongA(Item(page, IDC_AGREEMENT_TEXT), GWL_STYLE) & ES_READONLY);
    CHECK_EQ(Text(Item(page, IDC_AFFIRM)), "I Agree");
    CHECK_EQ(Text(Item(page, IDC_NEGATE)), "I Disagree");
    return page;
}

// Agree, see step 2 lit on the folder page, cancel there; start again with a
// command line that must change nothing and refuse with Escape.
SCENARIO(first_look_640x480, 640, 480)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    Press(page, IDC_AFFIRM);
    HWND location = WaitPage(LocationCaption());
    CHECK(!IsWindowVisible(page) && IsWindowVisible(FindWindowA(Installer, Installer)));
    CheckBackdrop(Shot("location"), StepLocation);
    Press(location, IDC_NEGATE);
    ExpectRefused(setup, location, CopyCaption(), before);

    setup = StartSetup("/S /D=C:\\elsewhere --help");
    page = WaitPage(AgreementCaption(), 20000);
    Key(page, VK_ESCAPE);
    ExpectRefused(setup, page, LocationCaption(), before);
}

// Refused by closing the page from its system menu.
SCENARIO(first_look_1024x768, 1024, 768)
{
    Snapshot before = TakeSnapshot();
    Process setup = StartSetup();
    HWND page = FirstLook(setup);
    PostMessageA(page, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectRefused(setup, page, LocationCaption(), before);
}
