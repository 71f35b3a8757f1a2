#include "backdrop_logic.h"

const StepRow StepList[StepRows] = {
    {StepAgreement, "- License Agreement"}, {StepLocation, "- Program Location"},
    {StepCopy, "- Installing Files"},       {StepGroup, "- Program Group"},
    {StepSending, "- Creating Shortcuts"},  {StepRegistered, "- View Read Me"},
    {StepFinished, "- Finished"},
};

static_assert(StepListTop + (StepRows - 1) * StepRowPitch < StepListBottom,
              "the repaint covers every label");

BackdropPoint TitleOrigin(int32_t screenWidth, int32_t screenHeight)
{
    BackdropPoint at = {screenWidth / 32 + TitleIndent, screenHeight / 24 - TitleRise};
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

int32_t StepRowY(int32_t index) { return StepListTop + index * StepRowPitch; }

bool StepLit(int32_t stepMask, const StepRow& row) { return (stepMask & row.Bit) != 0; }
