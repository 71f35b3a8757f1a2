#include "pagekit.h"
#include "pagekit_logic.h"
#include "../manifest/manifest.h"
#include "../manifest/state.h"
#include "../manifest/text.h"
#include "../resources/resource.h"
#include "../shell/backdrop.h"

BOOL CenterPage(HWND page, int32_t besideStripe)
{
    RECT outer;
    GetWindowRect(page, &outer);
    int32_t width = outer.right - outer.left;
    int32_t height = outer.bottom - outer.top;
    PagePosition at = CenterPosition(State.DrawKit.ScreenWidth, State.DrawKit.ScreenHeight,
                                     width, height, besideStripe);
    return MoveWindow(page, at.X, at.Y, width, height, FALSE);
}

void BrandPage(HWND window)
{
    char text[CaptionReadSize];
    char branded[CaptionResultSize];
    GetWindowTextA(window, text, sizeof text);
    BrandText(branded, text, Manifest.ProductName);
    SetWindowTextA(window, branded);
    HANDLE icon = LoadImageA(State.AppInstance, MAKEINTRESOURCEA(IDI_PRODUCT), IMAGE_ICON,
                             GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                             LR_DEFAULTCOLOR);
    SendMessageA(window, WM_SETICON, ICON_SMALL, (LPARAM)icon);
}

void PumpFor(HWND window, DWORD milliseconds)
{
    DWORD start = GetTickCount();
    DWORD now;
    do {
        now = GetTickCount();
        MSG message;
        if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    } while (PumpKeepsGoing(start, now, milliseconds));
}

int32_t AbortNotice(HWND owner)
{
    char text[256];
    TextFormat(text, sizeof text,
               "Installation Aborted!\n\nIf you need assistance you can email\n"
               "support at - %s!", SupportAddress);
    MessageBoxA(owner, text, Manifest.InstallerName, MB_OK | MB_ICONWARNING);
    return 0;
}

INT_PTR AccentColors(HDC dc, int backgroundColor)
{
    SetTextColor(dc, AccentTextColor);
    SetBkColor(dc, GetSysColor(backgroundColor));
    return (INT_PTR)GetSysColorBrush(backgroundColor);
}

void FetchItemText(HWND control, UINT lengthMessage, UINT textMessage, UINT index,
                   char* output, int32_t capacity)
{
    output[0] = 0;
    LRESULT length = SendMessageA(control, lengthMessage, index, 0);
    if (length < 0)
        return;
    if (length < capacity) {
        SendMessageA(control, textMessage, index, (LPARAM)output);
        return;
    }
    HLOCAL whole = LocalAlloc(LMEM_FIXED, (SIZE_T)length + 1);
    if (!whole)
        return;
    char* text = (char*)whole;
    text[0] = 0;
    SendMessageA(control, textMessage, index, (LPARAM)text);
    text[length] = 0;
    TextCopy(output, capacity, text);
    LocalFree(whole);
}

INT_PTR PaintListItem(const DRAWITEMSTRUCT* item, const char* text, const ItemLook& look)
{
    SIZE extent = {0, 0};
    TextExtent(item->hDC, text, &extent);
    RECT box;
    box.left = look.Anchor + 20;
    box.right = look.Anchor + 24 + extent.cx;
    box.top = item->rcItem.top;
    box.bottom = item->rcItem.bottom;
    if (item->itemAction == ODA_DRAWENTIRE || item->itemAction == ODA_SELECT) {
        ImageList_Draw(State.DrawKit.SystemImageList, look.Image, item->hDC, look.IconX,
                       look.IconY, ILD_NORMAL);
        bool selected = (item->itemState & ODS_SELECTED) != 0;
        SetTextColor(item->hDC, selected ? State.DrawKit.SelTextColor : State.DrawKit.ItemTextColor);
        SetBkColor(item->hDC, selected ? State.DrawKit.SelBackColor : State.DrawKit.ItemBackColor);
        ExtTextOutA(item->hDC, box.left + 2, box.top + 1, ETO_OPAQUE | ETO_CLIPPED, &box, text,
                    (UINT)TextLength(text), 0);
    }
    if (item->itemAction == ODA_FOCUS)
        DrawFocusRect(item->hDC, &box);
    return 1;
}
