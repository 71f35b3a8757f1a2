#include "pagekit_logic.h"
#include "../manifest/text.h"

PagePosition CenterPosition(int32_t screenWidth, int32_t screenHeight, int32_t pageWidth,
                            int32_t pageHeight, PagePlacement placement)
{
    PagePosition at;
    at.X = placement == BesideStripe ? (screenWidth - pageWidth + StripeWidth) / 2
                                     : (screenWidth - pageWidth) / 2;
    at.Y = (screenHeight - pageHeight) / 2;
    return at;
}

int32_t BrandText(char* output, const char* text, const char* productName)
{
    return ReplaceFirstPlaceholder(output, CaptionResultSize, text, productName);
}

bool PumpKeepsGoing(uint32_t start, uint32_t now, uint32_t milliseconds)
{
    return (uint32_t)(now - start) < milliseconds;
}

ItemBox ItemTextBox(int32_t anchor, int32_t textWidth, int32_t top, int32_t bottom)
{
    ItemBox box = {anchor + ItemTextLeft, top, anchor + ItemTextLeft + ItemTextPad + textWidth,
                   bottom};
    return box;
}

ItemPlan PlanItem(uint32_t action, uint32_t state)
{
    ItemPlan plan;
    plan.DrawsIconAndText = action == ItemDrawEntire || action == ItemSelect;
    plan.Selected = (state & ItemSelected) != 0;
    plan.TogglesFocus = action == ItemFocus;
    return plan;
}
