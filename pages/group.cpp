#include "pages.h"
#include "pagekit.h"
#include "group_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../platform/dde.h"
#include "../resources/resource.h"

namespace {

// The one group page's progress; the page runs once.
GroupSession Session = {0, 0};

HDDEDATA CALLBACK DdeNotify(UINT type, UINT format, HCONV conversation, HSZ first, HSZ second,
                            HDDEDATA data, ULONG_PTR word1, ULONG_PTR word2)
{
    (void)format, (void)conversation, (void)first, (void)second, (void)data;
    (void)word1, (void)word2;
    switch (type) {
    case XTYP_ERROR:
        MessageBoxA(State.DdeLink.PageWindow, DdeErrorText, Manifest.InstallerName,
                    MB_OK | MB_ICONERROR);
        break;
    case XTYP_XACT_COMPLETE:
        // The asynchronous command is the only one; its outcome is not looked at.
        SetTimer(State.DdeLink.PageWindow, ConfirmTimer, ConfirmDelay, 0);
        break;
    case XTYP_DISCONNECT:
        State.DdeLink.Conversation = 0;
        break;
    }
    return 0;
}

class PageView : public GroupView {
public:
    explicit PageView(HWND page) : page_(page), work_(0) {}

    void AddGroup(const char* name) override
    {
        SendDlgItemMessageA(page_, IDC_GROUP_COMBO, CB_ADDSTRING, 0, (LPARAM)name);
    }
    char* AllocateWork(uint32_t size) override
    {
        work_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        return work_ ? (char*)GlobalLock(work_) : 0;
    }
    void FreeWork(char* work) override
    {
        (void)work;
        GlobalUnlock(work_);
        GlobalFree(work_);
        work_ = 0;
    }
    void Pause(uint32_t milliseconds) override { PumpFor(page_, milliseconds); }
    void MarkStep(int32_t value) override { ::MarkStep(value); }
    void ReadField(char* output, int32_t capacity) override
    {
        output[0] = 0;
        GetDlgItemTextA(page_, IDC_GROUP_COMBO, output, capacity);
    }
    void Warn(const char* text) override
    {
        MessageBoxA(page_, text, Manifest.InstallerName, MB_OK | MB_ICONWARNING);
    }
    void ShowError(const char* text) override
    {
        MessageBoxA(page_, text, Manifest.InstallerName, MB_OK | MB_ICONERROR);
    }
    void Abort() override { EndDialog(page_, AbortNotice(page_)); }

private:
    HWND page_;
    HGLOBAL work_;
};

ShortcutTarget Target()
{
    ShortcutTarget target = {State.GroupName, State.InstallDir, State.WindowsDir, Manifest.Payload,
                             Manifest.ShortcutCount};
    return target;
}

// The field back to the product's name, and its group selected if it exists.
// The chosen group itself changes only on an accepted Continue.
void DefaultGroup(HWND page)
{
    LRESULT found = SendDlgItemMessageA(page, IDC_GROUP_COMBO, CB_FINDSTRINGEXACT, (WPARAM)-1,
                                        (LPARAM)Manifest.ProductName);
    SendDlgItemMessageA(page, IDC_GROUP_COMBO, CB_SETCURSEL, (WPARAM)found, 0);
    SetDlgItemTextA(page, IDC_GROUP_COMBO, Manifest.ProductName);
}

void StartGroup(HWND page)
{
    State.DdeLink.PageWindow = page;
    CenterPage(page, BesideStripe);
    BrandPage(page);
    BrandPage(GetDlgItem(page, IDC_ACCENT));
    WindowsDde dde(State.DdeLink, DdeNotify);
    PageView view(page);
    OpenGroupPage(dde, view, Session);
    SendDlgItemMessageA(page, IDC_GROUP_COMBO, CB_LIMITTEXT, GroupFieldLimit, 0);
    DefaultGroup(page);
}

void GroupCommand(HWND page, WORD id)
{
    WindowsDde dde(State.DdeLink, DdeNotify);
    PageView view(page);
    switch (id) {
    case IDC_GROUP_CONTINUE:
        ContinueGroup(dde, view, Session, Target());
        break;
    case IDC_GROUP_RESET:
        DefaultGroup(page);
        break;
    case IDC_NEGATE:
        CancelGroup(view, Session);
        break;
    }
}

void GroupConfirmed(HWND page)
{
    KillTimer(page, ConfirmTimer);
    if (!ConfirmGroup(Session))
        return;
    MessageBoxA(page, ShortcutsCreatedText, State.GroupName, MB_OK | MB_ICONINFORMATION);
    EndDialog(page, 1);
}

INT_PTR DrawGroupItem(const DRAWITEMSTRUCT* item)
{
    char text[ItemTextSize];
    FetchItemText(item->hwndItem, CB_GETLBTEXTLEN, CB_GETLBTEXT, item->itemID, text, sizeof text);
    ItemLook look = {item->rcItem.left, item->rcItem.left + 2, item->rcItem.top, ItemImage};
    return PaintListItem(item, text, look);
}

}  // namespace

void CloseProgramManager()
{
    WindowsDde dde(State.DdeLink, DdeNotify);
    ReleaseProgramManager(dde);
}

INT_PTR CALLBACK GroupPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartGroup(page);
        return TRUE;
    case WM_COMMAND:
        GroupCommand(page, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        GroupConfirmed(page);
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID((HWND)lParam) == IDC_ACCENT)
            return AccentColors((HDC)wParam, COLOR_BTNFACE);
        return FALSE;
    case WM_DRAWITEM:
        return DrawGroupItem((const DRAWITEMSTRUCT*)lParam);
    }
    return FALSE;
}
