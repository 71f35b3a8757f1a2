// Where the backdrop puts its parts, and which step label is lit, as plain
// functions of the screen size and the step mask.
#ifndef CRATEWISE_BACKDROP_LOGIC_H
#define CRATEWISE_BACKDROP_LOGIC_H

#include <stdint.h>

#include "../manifest/pictures.h"
#include "../manifest/wizard.h"

enum {
    // The stripe is one wide pen line down the band's middle.
    StripePenX = StripeWidth / 2,
    HeaderPictureX = 10,
    HeaderPictureY = 10,
    BoxPictureX = 15,
    BoxPictureRise = 180,  // from the bottom edge to the picture's top
    BoxFloodX = 1,         // the flood starts inside the outer background
    BoxFloodY = 1,
    TitleRise = 20,
    TaglineRightGap = 32,
    TaglineBottomGap = 16,
    StepLabelX = 10,
    InstallerLabelX = 10,
    InstallerLabelY = 100
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
    StepBit Bit;
    const char* Label;
};

// The seven wizard steps, top to bottom.
extern const StepRow StepList[StepRows];

// A row's y, StepRowPitch below the one above it.
int32_t StepRowY(int32_t index);

// Whether a row is drawn in the lit colour for this step mask.
bool StepLit(int32_t stepMask, const StepRow& row);

#endif
