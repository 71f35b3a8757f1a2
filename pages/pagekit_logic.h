// Placement, caption branding and waiting rules shared by every page, apart
// from the window calls that carry them out.
#ifndef CRATEWISE_PAGEKIT_LOGIC_H
#define CRATEWISE_PAGEKIT_LOGIC_H

#include <stdint.h>

enum {
    StripeWidth = 150,
    CaptionReadSize = 200,
    CaptionResultSize = 220,
    AccentTextColor = 0x800000
};

struct PagePosition {
    int32_t X;
    int32_t Y;
};

// Centres a page on the screen, or in the area right of the backdrop's stripe.
// Truncating division, nothing clamped: a page larger than the screen gets
// negative coordinates.
PagePosition CenterPosition(int32_t screenWidth, int32_t screenHeight,
                            int32_t pageWidth, int32_t pageHeight, int32_t besideStripe);

// Fills the first "%s" of a window text with the product's name, bounded to
// the caption buffer; any other '%' is left alone.
int32_t BrandText(char* output, const char* text, const char* productName);

// Whether a wait that began at start still has time left at now; unsigned so
// that the tick counter's wrap does not matter.
bool PumpKeepsGoing(uint32_t start, uint32_t now, uint32_t milliseconds);

#endif
