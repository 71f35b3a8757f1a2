#include "meter_logic.h"

#include "../manifest/text.h"

int32_t ClampMeter(int32_t& percent, float& percentExact)
{
    if (!(percentExact > 100.0f))
        return 0;
    percent = 100;
    percentExact = 100.0f;
    return 1;
}

int32_t MeterLabel(char* output, int32_t percent)
{
    return TextFormat(output, MeterLabelSize, "%d%%", percent);
}

int32_t MeterBoundary(int32_t width, float percentExact)
{
    return (int32_t)((double)width * (double)percentExact * 0.01);
}

MeterLayout LayOutMeter(int32_t width, int32_t height, int32_t labelWidth, int32_t labelHeight,
                        float percentExact, uint32_t meterColor, uint32_t faceColor,
                        uint32_t highlightColor)
{
    MeterLayout layout;
    layout.Boundary = MeterBoundary(width, percentExact);
    layout.LabelX = (width - labelWidth) / 2;
    layout.LabelY = (height - labelHeight) / 2;
    MeterPart& unfilled = layout.Parts[0];
    unfilled.Box = MeterBox{layout.Boundary, 0, width, height};
    unfilled.TextColor = meterColor;
    unfilled.BackColor = faceColor;
    MeterPart& filled = layout.Parts[1];
    filled.Box = MeterBox{0, 0, layout.Boundary, height};
    filled.TextColor = highlightColor;
    filled.BackColor = meterColor;
    return layout;
}
