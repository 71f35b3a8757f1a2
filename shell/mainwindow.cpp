#include "shell.h"
#include "backdrop.h"
#include "backdrop_logic.h"
#include "drawkit_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../manifest/text.h"
#include "../pages/pages.h"
#include "../resources/resource.h"

namespace {

enum { StartDelay = 1000 };

void DescribeFont(LOGFONTA* font, LONG height, LONG width, LONG weight, BYTE pitchAndFamily,
                  const char* face)
{
    font->lfHeight = height;
    font->lfWidth = width;
    font->lfWeight = weight;
    font->lfPitchAndFamily = pitchAndFamily;
    TextCopy(font->lfFaceName, LF_FACESIZE, face);
}

void DescribeFonts(DrawKit* kit)
{
    LetteringSizes sizes = ComputeLetteringSizes(kit->ScreenWidth, kit->ScreenHeight,
                                                 TextLength(kit->TitleText),
                                                 TextLength(kit->TaglineText));
    LOGFONTA* title = &kit->TitleFont;
    ZeroMemory(title, sizeof *title);
    title->lfQuality = PROOF_QUALITY;
    DescribeFont(title, sizes.TitleHeight, sizes.TitleWidth, FW_BOLD, VARIABLE_PITCH | FF_ROMAN,
                 "Times New Roman");
    kit->TaglineFont = *title;
    DescribeFont(&kit->TaglineFont, sizes.TaglineHeight, sizes.TaglineWidth, FW_NORMAL,
                 VARIABLE_PITCH | FF_ROMAN, "Arial");
    kit->StepFont = *title;
    DescribeFont(&kit->StepFont, StepFontHeight, 0, FW_BOLD, VARIABLE_PITCH | FF_SWISS,
                 "Ms Sans Serif");
    kit->MeterFont = *title;
    DescribeFont(&kit->MeterFont, MeterFontHeight, 0, FW_NORMAL, VARIABLE_PITCH | FF_SWISS,
                 "Ms Sans Serif");
}

void ReleaseHeaderPicture()
{
    HeaderPicture& picture = State.HeaderPicture;
    if (!picture.PictureBlock)
        return;
    if (picture.PicturePalette) {
        DeleteObject(picture.PicturePalette);
        picture.PicturePalette = 0;
    }
    GlobalFree(picture.PictureBlock);
    picture.PictureBlock = 0;
}

}  // namespace

ATOM RegisterMainClass(HINSTANCE instance)
{
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_BYTEALIGNWINDOW;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_PRODUCT));
    wc.hIconSm = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_PRODUCT), IMAGE_ICON, 16, 16,
                                   LR_DEFAULTCOLOR);
    wc.hCursor = LoadCursorA(0, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = Manifest.InstallerName;
    return RegisterClassExA(&wc);
}

HWND CreateMainWindow(HINSTANCE instance, int showCommand)
{
    // WM_CREATE runs inside CreateWindowExA and already needs these.
    State.DrawKit.ScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    State.DrawKit.ScreenHeight = GetSystemMetrics(SM_CYSCREEN);
    State.AppInstance = instance;
    State.MainWindow = CreateWindowExA(
        WS_EX_APPWINDOW, Manifest.InstallerName, Manifest.InstallerName, WS_POPUP, 0, 0,
        State.DrawKit.ScreenWidth, State.DrawKit.ScreenHeight, 0, 0, instance, 0);
    if (!State.MainWindow)
        return 0;
    ShowWindow(State.MainWindow, showCommand);
    UpdateWindow(State.MainWindow);
    return State.MainWindow;
}

LRESULT CreateDrawKit(HWND window)
{
    DrawKit& kit = State.DrawKit;
    FormatTitleText(kit.TitleText, Manifest.ProductName, Manifest.Version);
    FormatTaglineText(kit.TaglineText, Manifest.ProductName, Manifest.Tagline);
    SHFILEINFOA info;
    kit.SystemImageList = (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info,
                                                     SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    DescribeFonts(&kit);
    for (int i = 0; i < 4; ++i)
        kit.TitleShades[i] = TitleShades[i];
    for (int i = 0; i < 3; ++i)
        kit.TaglineShades[i] = TaglineShades[i];
    kit.SelTextColor = GetSysColor(COLOR_HIGHLIGHTTEXT);
    kit.SelBackColor = GetSysColor(COLOR_HIGHLIGHT);
    kit.ItemTextColor = GetSysColor(COLOR_WINDOWTEXT);
    kit.ItemBackColor = GetSysColor(COLOR_WINDOW);
    kit.StepLitColor = StepLitColor;
    kit.StepDimColor = StepDimColor;
    LoadHeaderPicture(IDB_HEADER);
    // The splash is modal inside WM_CREATE: the backdrop is not shown until
    // it has gone, and the wizard starts a second after.
    DialogBoxParamA(State.AppInstance, MAKEINTRESOURCEA(IDD_SPLASH), window, SplashPage, 0);
    SetTimer(window, StartTimer, StartDelay, 0);
    return 1;
}

void DestroyMainWindow()
{
    CloseProgramManager();
    ReleaseHeaderPicture();
    PostQuitMessage(0);
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        return CreateDrawKit(window) ? 0 : -1;
    case WM_DESTROY:
        DestroyMainWindow();
        return 0;
    case WM_PAINT:
        PaintBackdrop(window);
        return 0;
    case WM_TIMER:
        // The whole wizard runs here, each step calling the next from inside
        // this one message; the start timer is killed before the first page
        // opens, so this runs once.
        RunWizard(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
