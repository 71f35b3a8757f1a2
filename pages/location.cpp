#include "pages.h"
#include "pagekit.h"
#include "../manifest/manifest.h"
#include "../manifest/state.h"
#include "../manifest/text.h"
#include "../resources/resource.h"

namespace {

void ResetFolder(HWND page)
{
    TextFormat(State.InstallDir, sizeof State.InstallDir, Manifest.DefaultFolderTemplate,
               Manifest.ProductName);
    SetDlgItemTextA(page, IDC_FOLDER_EDIT, State.InstallDir);
}

void StartLocation(HWND page)
{
    CenterPage(page, 1);
    BrandPage(page);
    BrandPage(GetDlgItem(page, IDC_ACCENT));
    SendDlgItemMessageA(page, IDC_FOLDER_EDIT, EM_LIMITTEXT, 259, 0);
    ResetFolder(page);
}

void LocationCommand(HWND page, WORD id)
{
    switch (id) {
    case IDC_AFFIRM:
        GetDlgItemTextA(page, IDC_FOLDER_EDIT, State.InstallDir, PagePathSize);
        EndDialog(page, 1);
        break;
    case IDC_NEGATE:
        EndDialog(page, AbortNotice(page));
        break;
    case IDC_FOLDER_RESET:
        ResetFolder(page);
        break;
    }
}

} // namespace

INT_PTR CALLBACK LocationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartLocation(page);
        return TRUE;
    case WM_COMMAND:
        LocationCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID((HWND)lParam) == IDC_ACCENT)
            return AccentColors((HDC)wParam, COLOR_BTNFACE);
        return FALSE;
    }
    return FALSE;
}
