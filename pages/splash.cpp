#include "pages.h"
#include "pagekit.h"

namespace {

enum { SplashTimer = 2, SplashDuration = 3000 };

void StartSplash(HWND page)
{
    CenterPage(page, Centered);
    SetTimer(page, SplashTimer, SplashDuration, 0);
}

void EndSplash(HWND page, WPARAM timer)
{
    KillTimer(page, SplashTimer);
    EndDialog(page, (INT_PTR)timer);
}

}  // namespace

INT_PTR CALLBACK SplashPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartSplash(page);
        return TRUE;
    case WM_TIMER:
        EndSplash(page, wParam);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        return AccentColors((HDC)wParam, COLOR_BTNFACE);
    }
    (void)lParam;
    return FALSE;
}
