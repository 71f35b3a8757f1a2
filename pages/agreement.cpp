#include "pages.h"
#include "pagekit.h"
#include "../platform/state.h"
#include "../resources/resource.h"

namespace {

void ShowAgreement(HWND page)
{
    HRSRC found = FindResourceA(State.AppInstance, "Agreement", (LPCSTR)RT_RCDATA);
    if (!found)
        return;
    HGLOBAL loaded = LoadResource(State.AppInstance, found);
    const char* bytes = loaded ? (const char*)LockResource(loaded) : 0;
    DWORD size = SizeofResource(State.AppInstance, found);
    if (!bytes || !size)
        return;
    // The resource carries no terminator; the text is exactly its bytes.
    HLOCAL copy = LocalAlloc(LMEM_FIXED, size + 1);
    if (!copy)
        return;
    char* text = (char*)copy;
    CopyMemory(text, bytes, size);
    text[size] = 0;
    SendDlgItemMessageA(page, IDC_AGREEMENT_TEXT, WM_SETTEXT, 0, (LPARAM)text);
    LocalFree(copy);
}

void StartAgreement(HWND page)
{
    CenterPage(page, BesideStripe);
    BrandPage(page);
    ShowAgreement(page);
}

void AgreementCommand(HWND page, WORD id)
{
    switch (id) {
    case IDC_AFFIRM:
        EndDialog(page, 1);
        break;
    case IDC_NEGATE:
        EndDialog(page, AbortNotice(page));
        break;
    }
}

}  // namespace

INT_PTR CALLBACK AgreementPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartAgreement(page);
        return TRUE;
    case WM_COMMAND:
        AgreementCommand(page, LOWORD(wParam));
        return TRUE;
    }
    (void)lParam;
    return FALSE;
}
