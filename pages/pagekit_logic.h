// Placement, caption branding and waiting rules shared by every page, apart
// from the window calls that carry them out.
#ifndef CRATEWISE_PAGEKIT_LOGIC_H
#define CRATEWISE_PAGEKIT_LOGIC_H

#include <stdint.h>

#include "../manifest/wizard.h"

enum { CaptionReadSize = 200, CaptionResultSize = 220, AccentTextColor = 0x800000 };

// Where a page goes: the splash on the whole screen, the others right of the
// backdrop's stripe.
enum PagePlacement { Centered, BesideStripe };

struct PagePosition {
    int32_t X;
    int32_t Y;
};

// Centres a page on the screen, or in the area right of the backdrop's stripe.
// Truncating division, nothing clamped: a page larger than the screen gets
// negative coordinates.
PagePosition CenterPosition(int32_t screenWidth, int32_t screenHeight, int32_t pageWidth,
                            int32_t pageHeight, PagePlacement placement);

// Fills the first "%s" of a window text with the product's name, bounded to
// the caption buffer; any other '%' is left alone.
int32_t BrandText(char* output, const char* text, const char* productName);

// Whether a wait that began at start still has time left at now; unsigned so
// that the tick counter's wrap does not matter.
bool PumpKeepsGoing(uint32_t start, uint32_t now, uint32_t milliseconds);

// The waiting loop: never blocks, takes at most one message a pass, and reads
// the clock before the message, so the last one may run past the bound.
// tick() gives the millisecond counter; takeOne() handles one queued message
// if there is one.
template <class Tick, class TakeOne>
void PumpLoop(uint32_t milliseconds, Tick tick, TakeOne takeOne)
{
    uint32_t start = tick();
    uint32_t now;
    do {
        now = tick();
        takeOne();
    } while (PumpKeepsGoing(start, now, milliseconds));
}

// Owner-drawn item actions and states, as the platform numbers them.
enum {
    ItemDrawEntire = 1,
    ItemSelect = 2,
    ItemFocus = 4,
    ItemSelected = 1,
    ItemTextLeft = 20,  // from the page's anchor
    ItemTextPad = 4,    // right of the text
    ItemTextInsetX = 2,
    ItemTextInsetY = 1
};

struct ItemBox {
    int32_t Left;
    int32_t Top;
    int32_t Right;
    int32_t Bottom;
};

// The text rectangle of an item: anchor + 20 to anchor + 24 + the text's
// width, over the item's full height.
ItemBox ItemTextBox(int32_t anchor, int32_t textWidth, int32_t top, int32_t bottom);

struct ItemPlan {
    bool DrawsIconAndText;
    bool Selected;  // the selection colours, when drawing the text
    bool TogglesFocus;
};

// What one owner-drawn action paints: the icon and the text for a full draw
// or a selection change, the focus rectangle (an inversion) for a focus
// change, nothing otherwise.
ItemPlan PlanItem(uint32_t action, uint32_t state);

#endif
