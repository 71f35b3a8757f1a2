#include "backdrop_logic.h"

const StepRow StepList[StepRows] = {
    {1, "- License Agreement", 120},   {2, "- Program Location", 138},
    {4, "- Installing Files", 156},    {8, "- Program Group", 174},
    {16, "- Creating Shortcuts", 192}, {32, "- View Read Me", 210},
    {64, "- Finished", 228},
};

BackdropPoint TitleOrigin(int32_t screenWidth, int32_t screenHeight)
{
    BackdropPoint at = {screenWidth / 32 + TitleRight, screenHeight / 24 - TitleRise};
    return at;
}

BackdropPoint TaglineOrigin(int32_t screenWidth, int32_t screenHeight, int32_t textWidth,
                            int32_t textHeight)
{
    BackdropPoint at = {screenWidth - textWidth - TaglineRightGap,
                        screenHeight - textHeight - TaglineBottomGap};
    return at;
}

BackdropPoint BoxPictureOrigin(int32_t screenHeight)
{
    BackdropPoint at = {BoxPictureX, screenHeight - BoxPictureRise};
    return at;
}

bool StepLit(int32_t stepMask, const StepRow& row)
{
    return (stepMask & row.Bit) != 0;
}
