#include "pages.h"
#include "pagekit.h"
#include "location_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../manifest/text.h"
#include "../platform/hardening.h"
#include "../resources/resource.h"

static_assert(EntryHidden == FILE_ATTRIBUTE_HIDDEN && EntrySystem == FILE_ATTRIBUTE_SYSTEM &&
                  EntryDirectory == FILE_ATTRIBUTE_DIRECTORY,
              "listing attributes");
static_assert((int)FolderIndentSlots == (int)IndentSlots, "indent levels");

namespace {

enum { FieldLimit = 259 };

// The browser's part of the installer state.
const FolderBrowser StateBrowser = {State.InstallDir, &State.CurrentFolderItem,
                                    &State.ListingDrives, State.IndentLevels};

// The browser's list box, edit field and file system calls for one message.
class WindowsFolderPage : public FolderPage {
public:
    explicit WindowsFolderPage(HWND page)
        : FolderPage(StateBrowser, Manifest), page_(page), list_(GetDlgItem(page, IDC_FOLDER_LIST)),
          search_(INVALID_HANDLE_VALUE), pending_(false)
    {
    }

    int32_t Standing(const char* folder) override { return ProbeFolder(folder); }
    void ShowPath(const char* path) override { SetDlgItemTextA(page_, IDC_FOLDER_EDIT, path); }
    int32_t ReadPath(char* output, int32_t capacity) override
    {
        HWND edit = GetDlgItem(page_, IDC_FOLDER_EDIT);
        output[0] = 0;
        GetWindowTextA(edit, output, capacity);
        return GetWindowTextLengthA(edit);
    }
    void Warn(const char* message) override
    {
        MessageBoxA(page_, message, Manifest.InstallerName, MB_OK | MB_ICONWARNING);
    }

    void StartRebuild() override
    {
        SetCursor(LoadCursorA(0, IDC_WAIT));
        SendMessageA(list_, WM_SETREDRAW, FALSE, 0);
        SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    }
    void FinishRebuild() override
    {
        SendMessageA(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, 0, TRUE);
        SetCursor(LoadCursorA(0, IDC_ARROW));
    }
    void InsertItem(int32_t index, const char* text, int32_t kind) override
    {
        Tag(SendMessageA(list_, LB_INSERTSTRING, (WPARAM)index, (LPARAM)text), kind);
    }
    void AddSortedItem(const char* text, int32_t kind) override
    {
        Tag(SendMessageA(list_, LB_ADDSTRING, 0, (LPARAM)text), kind);
    }
    void SetItemHeight(int32_t index, int32_t height) override
    {
        SendMessageA(list_, LB_SETITEMHEIGHT, (WPARAM)index, MAKELPARAM(height, 0));
    }
    int32_t FindDrive(const char* root) override
    {
        return (int32_t)SendMessageA(list_, LB_FINDSTRINGEXACT, 0, (LPARAM)root);
    }
    void SelectItem(int32_t index) override { SendMessageA(list_, LB_SETCURSEL, (WPARAM)index, 0); }
    int32_t SelectedItem() override { return (int32_t)SendMessageA(list_, LB_GETCURSEL, 0, 0); }
    void ReadItem(int32_t index, char* output, int32_t capacity) override
    {
        FetchItemText(list_, LB_GETTEXTLEN, LB_GETTEXT, (UINT)index, output, capacity);
    }

    void DriveRoots(char* output, int32_t capacity) override
    {
        GetLogicalDriveStringsA((DWORD)capacity, output);
    }
    bool StartListing(const char* pattern) override
    {
        search_ = FindFirstFileA(pattern, &found_);
        pending_ = search_ != INVALID_HANDLE_VALUE;
        return pending_;
    }
    bool NextEntry(uint32_t* attributes, char* name, int32_t capacity) override
    {
        if (!pending_)
            return false;
        *attributes = found_.dwFileAttributes;
        TextCopy(name, capacity, found_.cFileName);
        pending_ = FindNextFileA(search_, &found_) != 0;
        return true;
    }
    void EndListing() override
    {
        if (search_ != INVALID_HANDLE_VALUE)
            FindClose(search_);
        search_ = INVALID_HANDLE_VALUE;
        pending_ = false;
    }

private:
    void Tag(LRESULT index, int32_t kind)
    {
        if (index >= 0)
            SendMessageA(list_, LB_SETITEMDATA, (WPARAM)index, (LPARAM)kind);
    }

    HWND page_;
    HWND list_;
    HANDLE search_;
    WIN32_FIND_DATAA found_;
    bool pending_;
};

void StartLocation(HWND page)
{
    CenterPage(page, BesideStripe);
    BrandPage(page);
    BrandPage(GetDlgItem(page, IDC_ACCENT));
    SendDlgItemMessageA(page, IDC_FOLDER_EDIT, EM_LIMITTEXT, FieldLimit, 0);
    WindowsFolderPage browser(page);
    ResetFolder(browser);
}

void LocationCommand(HWND page, WORD id, WORD notification)
{
    WindowsFolderPage browser(page);
    switch (id) {
    case IDC_AFFIRM:
        if (ValidateFolder(browser) == 1)
            EndDialog(page, 1);
        else
            SetFocus(GetDlgItem(page, IDC_FOLDER_EDIT));
        break;
    case IDC_NEGATE:
        EndDialog(page, AbortNotice(page));
        break;
    case IDC_FOLDER_LIST:
        if (notification == LBN_DBLCLK)
            OpenItem(browser);
        break;
    case IDC_FOLDER_RESET:
        ResetFolder(browser);
        break;
    }
}

int DriveImage(const char* root)
{
    SHFILEINFOA info;
    info.iIcon = 0;
    SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

INT_PTR DrawFolderItem(const DRAWITEMSTRUCT* item)
{
    // An empty list still draws its focus, for no item.
    if (item->itemID == (UINT)-1)
        return 1;
    int32_t index = (int32_t)item->itemID;
    int32_t kind = (int32_t)item->itemData;
    char text[PagePathSize];
    FetchItemText(item->hwndItem, LB_GETTEXTLEN, LB_GETTEXT, item->itemID, text, sizeof text);
    ItemLook look;
    look.Anchor = FolderItemAnchor(item->rcItem.left, IndentOf(State.IndentLevels, index));
    look.IconX = look.Anchor;
    look.IconY = FolderIconTop(item->rcItem.top, kind);
    look.Image = FolderItemImage(kind, index, State.CurrentFolderItem);
    if (look.Image == DriveOwnImage && item->itemAction != ODA_FOCUS)
        look.Image = DriveImage(text);
    return PaintListItem(item, text, look);
}

}  // namespace

INT_PTR CALLBACK LocationPage(HWND page, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        StartLocation(page);
        return TRUE;
    case WM_DRAWITEM:
        return DrawFolderItem((const DRAWITEMSTRUCT*)lParam);
    case WM_COMMAND:
        LocationCommand(page, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID((HWND)lParam) == IDC_ACCENT)
            return AccentColors((HDC)wParam, COLOR_BTNFACE);
        return FALSE;
    }
    return FALSE;
}
