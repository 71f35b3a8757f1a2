#include "pages.h"
#include "pagekit.h"
#include "../manifest/state.h"
#include "../resources/resource.h"

namespace {

enum { WriteTimer = 1, TickDelay = 100 };

void StartCopy(HWND page)
{
    CenterPage(page, 1);
    BrandPage(page);
    GetWindowsDirectoryA(State.WindowsDir, sizeof State.WindowsDir);
    SetTimer(page, WriteTimer, TickDelay, 0);
}

void CopyTick(HWND page, WPARAM timer)
{
    KillTimer(page, timer);
    EndDialog(page, 1);
}

} // namespace

INT_PTR CALLBACK CopyPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartCopy(page);
        return TRUE;
    case WM_TIMER:
        CopyTick(page, LOWORD(wParam));
        return TRUE;
    }
    (void)lParam;
    return FALSE;
}
