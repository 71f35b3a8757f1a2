// The full-screen backdrop and the small packed-DIB toolkit it draws with.
#ifndef CRATEWISE_BACKDROP_H
#define CRATEWISE_BACKDROP_H

#include "../platform/win32.h"

void PaintBackdrop(HWND window);
void LoadHeaderPicture(int identifier);
BOOL TextExtent(HDC dc, const char* text, SIZE* size);

#endif
