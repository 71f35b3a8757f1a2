#include "pagekit.h"
#include "pagekit_logic.h"
#include "../manifest/manifest.h"
#include "../platform/state.h"
#include "../manifest/text.h"
#include "../manifest/titles.h"
#include "../manifest/wizard.h"
#include "../resources/resource.h"

static_assert(ItemDrawEntire == ODA_DRAWENTIRE && ItemSelect == ODA_SELECT &&
                  ItemFocus == ODA_FOCUS && ItemSelected == ODS_SELECTED,
              "owner-drawn actions and states");

namespace {

// Where the backdrop paints the step list.
const RECT StepListRect = {0, StepListTop, StripeWidth, StepListBottom};

}  // namespace

BOOL TextExtent(HDC dc, const char* text, SIZE* size)
{
    return GetTextExtentPointA(dc, text, TextLength(text), size);
}

void MarkStep(int32_t value)
{
    State.StepMask = value;
    InvalidateRect(State.MainWindow, &StepListRect, FALSE);
    UpdateWindow(State.MainWindow);
}

BOOL CenterPage(HWND page, PagePlacement placement)
{
    RECT outer;
    GetWindowRect(page, &outer);
    int32_t width = outer.right - outer.left;
    int32_t height = outer.bottom - outer.top;
    PagePosition at = CenterPosition(State.DrawKit.ScreenWidth, State.DrawKit.ScreenHeight, width,
                                     height, placement);
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

// Only messages for the window and its controls: the backdrop's painting and
// thread messages wait for the regular loop.
void PumpFor(HWND window, DWORD milliseconds)
{
    PumpLoop(
        milliseconds, [] { return (uint32_t)GetTickCount(); },
        [window] {
            MSG message;
            if (PeekMessageA(&message, window, 0, 0, PM_REMOVE)) {
                TranslateMessage(&message);
                DispatchMessageA(&message);
            }
        });
}

int32_t AbortNotice(HWND owner)
{
    char text[AbortNoticeSize];
    FormatAbortNotice(text, SupportAddress);
    MessageBoxA(owner, text, Manifest.InstallerName, MB_OK | MB_ICONWARNING);
    return 0;
}

INT_PTR AccentColors(HDC dc, int backgroundColor)
{
    SetTextColor(dc, AccentTextColor);
    SetBkColor(dc, GetSysColor(backgroundColor));
    return (INT_PTR)GetSysColorBrush(backgroundColor);
}

void FetchItemText(HWND control, UINT lengthMessage, UINT textMessage, UINT index, char* output,
                   int32_t capacity)
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
    ItemBox box = ItemTextBox(look.Anchor, extent.cx, item->rcItem.top, item->rcItem.bottom);
    RECT area = {box.Left, box.Top, box.Right, box.Bottom};
    ItemPlan plan = PlanItem(item->itemAction, item->itemState);
    if (plan.DrawsIconAndText) {
        const DrawKit& kit = State.DrawKit;
        ImageList_Draw(kit.SystemImageList, look.Image, item->hDC, look.IconX, look.IconY,
                       ILD_NORMAL);
        SetTextColor(item->hDC, plan.Selected ? kit.SelTextColor : kit.ItemTextColor);
        SetBkColor(item->hDC, plan.Selected ? kit.SelBackColor : kit.ItemBackColor);
        ExtTextOutA(item->hDC, area.left + ItemTextInsetX, area.top + ItemTextInsetY,
                    ETO_OPAQUE | ETO_CLIPPED, &area, text, (UINT)TextLength(text), 0);
    }
    if (plan.TogglesFocus)
        DrawFocusRect(item->hDC, &area);
    return 1;
}
