#include "backdrop.h"
#include "../manifest/state.h"
#include "../manifest/text.h"

namespace {

const COLORREF StripeColor = 0x680820;
const COLORREF LabelColor = 0xFFACB0;

struct StepLabel {
    int32_t Bit;
    const char* Text;
    int32_t Y;
};

const StepLabel StepLabels[] = {
    {1, "- License Agreement", 120},  {2, "- Program Location", 138},
    {4, "- Installing Files", 156},   {8, "- Program Group", 174},
    {16, "- Creating Shortcuts", 192}, {32, "- View Read Me", 210},
    {64, "- Finished", 228},
};

void PaintStripe(HDC dc)
{
    HPEN pen = CreatePen(PS_INSIDEFRAME, 150, StripeColor);
    SelectObject(dc, pen);
    MoveToEx(dc, 75, 0, 0);
    LineTo(dc, 75, State.DrawKit.ScreenHeight);
    SelectObject(dc, GetStockObject(NULL_PEN));
    DeleteObject(pen);
}

void PaintSteps(HDC dc)
{
    HFONT font = CreateFontIndirectA(&State.DrawKit.StepFont);
    HGDIOBJ previous = SelectObject(dc, font);
    for (const StepLabel& label : StepLabels) {
        SetTextColor(dc, (State.StepMask & label.Bit) ? State.DrawKit.StepLitColor
                                                      : State.DrawKit.StepDimColor);
        TextOutA(dc, 10, label.Y, label.Text, TextLength(label.Text));
    }
    SelectObject(dc, previous);
    DeleteObject(font);
}

} // namespace

BOOL TextExtent(HDC dc, const char* text, SIZE* size)
{
    return GetTextExtentPointA(dc, text, TextLength(text), size);
}

void LoadHeaderPicture(int)
{
}

void PaintBackdrop(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    PaintStripe(dc);
    PaintSteps(dc);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    SetTextColor(dc, LabelColor);
    TextOutA(dc, 10, 100, "Cratewise:", 10);
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
}
