// Where the backdrop puts its parts, and which step label is lit, as plain
// functions of the screen size and the step mask.
#ifndef CRATEWISE_BACKDROP_LOGIC_H
#define CRATEWISE_BACKDROP_LOGIC_H

#include <stdint.h>

#include "../manifest/pictures.h"

enum {
    StripeBandWidth = 150,
    // The stripe is one wide pen line down the band's middle.
    StripePenX = StripeBandWidth / 2,
    HeaderPictureX = 10,
    HeaderPictureY = 10,
    BoxPictureX = 15,
    BoxPictureRise = 180,     // from the bottom edge to the picture's top
    BoxFloodX = 1,            // the flood starts inside the outer background
    BoxFloodY = 1,
    TitleRight = 140,
    TitleRise = 20,
    TaglineRightGap = 32,
    TaglineBottomGap = 16,
    StepLabelX = 10,
    InstallerLabelX = 10,
    InstallerLabelY = 100,
    StepRows = 7
};

struct BackdropPoint {
    int32_t X;
    int32_t Y;
};

// The first (darkest) layer of the title.
BackdropPoint TitleOrigin(int32_t screenWidth, int32_t screenHeight);

// The first layer of the tagline, given the tagline's measured size.
BackdropPoint TaglineOrigin(int32_t screenWidth, int32_t screenHeight, int32_t textWidth,
                            int32_t textHeight);

// The top left corner of the picture at the foot of the stripe.
BackdropPoint BoxPictureOrigin(int32_t screenHeight);

struct StepRow {
    int32_t Bit;
    const char* Label;
    int32_t Y;
};

// The seven wizard steps, top to bottom.
extern const StepRow StepList[StepRows];

// Whether a row is drawn in the lit colour for this step mask.
bool StepLit(int32_t stepMask, const StepRow& row);

#endif
