#include "pagekit_logic.h"
#include "../manifest/text.h"

PagePosition CenterPosition(int32_t screenWidth, int32_t screenHeight,
                            int32_t pageWidth, int32_t pageHeight, int32_t besideStripe)
{
    PagePosition at;
    at.X = besideStripe ? (screenWidth - pageWidth + StripeWidth) / 2
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
