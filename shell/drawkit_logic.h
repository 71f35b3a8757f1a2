// Font sizes of the backdrop's lettering, as functions of the screen size and
// the formatted texts, so they can be checked away from any display.
#ifndef CRATEWISE_DRAWKIT_LOGIC_H
#define CRATEWISE_DRAWKIT_LOGIC_H

#include <stdint.h>

#include "../manifest/titles.h"
#include "../manifest/wizard.h"

enum { StepFontHeight = -11, MeterFontHeight = -14 };

struct LetteringSizes {
    int32_t TitleHeight;
    int32_t TitleWidth;
    int32_t TaglineHeight;
    int32_t TaglineWidth;
};

LetteringSizes ComputeLetteringSizes(int32_t screenWidth, int32_t screenHeight, int32_t titleLength,
                                     int32_t taglineLength);

#endif
