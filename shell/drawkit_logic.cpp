#include "drawkit_logic.h"
#include "../manifest/text.h"

LetteringSizes ComputeLetteringSizes(int32_t screenWidth, int32_t screenHeight, int32_t titleLength,
                                     int32_t taglineLength)
{
    LetteringSizes sizes;
    sizes.TitleHeight = screenHeight / 10;
    sizes.TitleWidth = (screenWidth - TitleIndent) / (titleLength + 5);
    sizes.TaglineHeight = screenHeight / 18;
    // The tagline spans about two thirds of the screen whatever its length.
    sizes.TaglineWidth = taglineLength > 0
                             ? (int32_t)((double)screenWidth / ((double)taglineLength * 1.5))
                             : 0;
    return sizes;
}
