// Helpers every page calls from its dialog procedure.
#ifndef CRATEWISE_PAGEKIT_H
#define CRATEWISE_PAGEKIT_H

#include "../platform/win32.h"
#include "pagekit_logic.h"

BOOL CenterPage(HWND page, PagePlacement placement);
void BrandPage(HWND window);
void PumpFor(HWND window, DWORD milliseconds);
// Tells the user the installation is aborted; returns 0, which a page ends
// with so that the wizard stops there.
int32_t AbortNotice(HWND owner);

// The answer to WM_CTLCOLORSTATIC for a static painted in the accent colours.
INT_PTR AccentColors(HDC dc, int backgroundColor);

// One owner-drawn list item: text measured, icon drawn at iconX/iconY, text
// rectangle from anchor + 20 to anchor + 24 + width.
struct ItemLook {
    int32_t Anchor;
    int32_t IconX;
    int32_t IconY;
    int32_t Image;
};
INT_PTR PaintListItem(const DRAWITEMSTRUCT* item, const char* text, const ItemLook& look);

// Width and height of the whole text in the font selected into dc.
BOOL TextExtent(HDC dc, const char* text, SIZE* size);

// Lights the backdrop's step labels of value and repaints them at once.
void MarkStep(int32_t value);

// An owner-drawn item's text, fetched whole however long it is; items longer
// than the buffer are cut, never overrun.
void FetchItemText(HWND control, UINT lengthMessage, UINT textMessage, UINT index, char* output,
                   int32_t capacity);

#endif
