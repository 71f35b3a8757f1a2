#include "pages.h"
#include "pagekit.h"
#include "../manifest/manifest.h"
#include "../manifest/state.h"
#include "../manifest/text.h"
#include "../resources/resource.h"

namespace {

void StartGroup(HWND page)
{
    State.DdeLink.PageWindow = page;
    CenterPage(page, 1);
    BrandPage(page);
    BrandPage(GetDlgItem(page, IDC_ACCENT));
    SetDlgItemTextA(page, IDC_GROUP_COMBO, Manifest.ProductName);
}

void GroupCommand(HWND page, WORD id)
{
    switch (id) {
    case IDC_GROUP_CONTINUE:
        GetDlgItemTextA(page, IDC_GROUP_COMBO, State.GroupName, 40);
        EndDialog(page, 1);
        break;
    case IDC_NEGATE:
        EndDialog(page, AbortNotice(page));
        break;
    }
}

} // namespace

INT_PTR CALLBACK GroupPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartGroup(page);
        return TRUE;
    case WM_COMMAND:
        GroupCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID((HWND)lParam) == IDC_ACCENT)
            return AccentColors((HDC)wParam, COLOR_BTNFACE);
        return FALSE;
    }
    return FALSE;
}
