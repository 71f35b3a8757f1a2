#include "lists.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace pilot {

namespace {

LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    DWORD_PTR result = (DWORD_PTR)LB_ERR;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        return LB_ERR;
    return (LRESULT)result;
}

void PostMouse(HWND list, UINT message, WPARAM keys, POINT at)
{
    PostMessageA(list, message, keys, MAKELPARAM(at.x, at.y));
}

POINT ItemMiddle(HWND list, int index)
{
    RECT r = ListItemRect(list, index);
    POINT at = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    return at;
}

void AfterInput(HWND list)
{
    HWND page = GetParent(list);
    Settle(page ? page : list);
}

HIMAGELIST SmallSystemImages()
{
    SHFILEINFOA info = {};
    return (HIMAGELIST)SHGetFileInfoA("C:\\", 0, &info, sizeof info,
                                      SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
}

} // namespace

int ListCount(HWND list, bool combo)
{
    return (int)Ask(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0);
}

// Under Wine an item's text read from another process arrives as UTF-16
// even through the ANSI call, so it is asked for as such and converted.
std::string ListText(HWND list, int index, bool combo)
{
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0,
                             SMTO_ABORTIFHUNG, 5000, &length) ||
        (LRESULT)length < 0)
        return "<none>";
    // Room to spare: an owner-drawn item's length can be less than its text.
    std::vector<wchar_t> wide(length + 16, 0);
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(list, combo ? CB_GETLBTEXT : LB_GETTEXT, index, (LPARAM)wide.data(),
                             SMTO_ABORTIFHUNG, 5000, &copied) ||
        (LRESULT)copied < 0)
        return "<unreadable>";
    copied = std::min<DWORD_PTR>(copied, length);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)copied, nullptr, 0, nullptr,
                                    nullptr);
    std::string text(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), (int)copied, &text[0], bytes, nullptr, nullptr);
    return text;
}

std::vector<std::string> ListTexts(HWND list, bool combo)
{
    std::vector<std::string> texts;
    int count = ListCount(list, combo);
    for (int i = 0; i < count; ++i)
        texts.push_back(ListText(list, i, combo));
    return texts;
}

LONG_PTR ListData(HWND list, int index) { return (LONG_PTR)Ask(list, LB_GETITEMDATA, index, 0); }

int ListSelection(HWND list, bool combo)
{
    return (int)Ask(list, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
}

RECT ListItemRect(HWND list, int index)
{
    RECT r = {};
    Ask(list, LB_GETITEMRECT, index, (LPARAM)&r);
    return r;
}

RECT ListItemScreenRect(HWND list, int index)
{
    RECT r = ListItemRect(list, index);
    POINT corner = {r.left, r.top};
    ClientToScreen(list, &corner);
    OffsetRect(&r, corner.x - r.left, corner.y - r.top);
    return r;
}

void ClickItem(HWND list, int index)
{
    POINT at = ItemMiddle(list, index);
    Log("click item %d \"%s\"", index, ListText(list, index).c_str());
    PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
    AfterInput(list);
}

void DoubleClickItem(HWND list, int index)
{
    POINT at = ItemMiddle(list, index);
    Log("double click item %d \"%s\"", index, ListText(list, index).c_str());
    PostMouse(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
    PostMouse(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMouse(list, WM_LBUTTONUP, 0, at);
    AfterInput(list);
}

int SystemImageOf(const std::string& path)
{
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    return info.iIcon;
}

bool ShowsSystemImage(const Picture& screen, int image, int x, int y, int backX, int backY)
{
    HIMAGELIST images = SmallSystemImages();
    int width = 16, height = 16;
    ImageList_GetIconSize(images, &width, &height);
    int same = MatchingPixels(screen, x, y, width, height, screen.At(backX, backY), [&](HDC dc) {
        ImageList_Draw(images, image, dc, 0, 0, ILD_NORMAL);
    });
    return same >= width * height * 95 / 100;
}

} // namespace pilot
