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

// The backdrop's colours, 0x00BBGGRR as a COLORREF holds them; the title's
// and the tagline's layers run from the darkest to the brightest.
const uint32_t LabelColor = 0xFFACB0;
const uint32_t StepLitColor = 0xFFF820;
const uint32_t StepDimColor = 0xE88420;
const uint32_t TitleShades[4] = {0x000080, 0x0000A0, 0x0000C0, 0x0000FF};
const uint32_t TaglineShades[3] = {0x800000, 0xA00000, 0xFF0000};

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
