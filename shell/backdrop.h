// The full-screen backdrop: the stripe with its pictures, label and step
// list, the shaded title and tagline.
#ifndef CRATEWISE_BACKDROP_H
#define CRATEWISE_BACKDROP_H

#include "../platform/win32.h"

void PaintBackdrop(HWND window);

// Fills the installer state's header picture from bitmap resource identifier,
// or leaves it empty; kept until the main window is destroyed.
void LoadHeaderPicture(int identifier);

#endif
