// The small packed-DIB toolkit: a bitmap resource copied into movable global
// memory, drawn with a palette made from its own colour table. The header
// arithmetic (DibColorCount, DibBits) lives in picture_logic.h.
#ifndef CRATEWISE_PICTURE_H
#define CRATEWISE_PICTURE_H

#include "../platform/win32.h"
#include "picture_logic.h"

// A private copy of bitmap resource identifier of AppInstance, or 0 when it
// is missing, cannot be copied, or is not a whole uncompressed DIB.
HGLOBAL LoadPackedDib(int identifier);

// A logical palette of the DIB's colour table, or 0 (no table, no memory).
HPALETTE BuildDibPalette(HGLOBAL block);

// Draws the DIB with its top left corner at (x, y), realising the palette (if
// any) in the foreground meanwhile. 1 when it drew, 0 when the block could
// not be locked.
int32_t DrawPackedDib(HDC dc, int32_t x, int32_t y, HGLOBAL block, HPALETTE palette);

#endif
