// The progress meter's look as a pure function of its size, its label's
// extent and the progress: where the fill ends, where the label goes, and
// the two parts painted with their colours.
#ifndef CRATEWISE_METER_LOGIC_H
#define CRATEWISE_METER_LOGIC_H

#include <stdint.h>

enum { MeterLabelSize = 12 };

struct MeterBox {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
};

// One opaque, clipped drawing of the label: its box and its colours
// (COLORREF values, 0x00BBGGRR).
struct MeterPart {
    MeterBox Box;
    uint32_t TextColor;
    uint32_t BackColor;
};

struct MeterLayout {
    int32_t Boundary;
    int32_t LabelX;
    int32_t LabelY;
    // In painting order: the unfilled part right of the boundary, then the
    // filled part left of it. Together they cover the client area once.
    MeterPart Parts[2];
};

// Holds the meter at 100 once the steps pass it, in the progress itself so
// that later steps go on from 100. Exactly 100 is left alone. Returns 1 when
// it clamped.
int32_t ClampMeter(int32_t& percent, float& percentExact);

// The whole percent as the label shows it ("42%"); the label's length.
int32_t MeterLabel(char* output, int32_t percent);

// Where the fill ends: width x percent / 100 in double precision, truncated.
int32_t MeterBoundary(int32_t width, float percentExact);

// The parts for a client area of width x height and a label of labelWidth x
// labelHeight, centred with truncating division.
MeterLayout LayOutMeter(int32_t width, int32_t height, int32_t labelWidth, int32_t labelHeight,
                        float percentExact, uint32_t meterColor, uint32_t faceColor,
                        uint32_t highlightColor);

#endif
