#include "backdrop.h"
#include "backdrop_logic.h"
#include "picture.h"
#include "../pages/pagekit.h"
#include "../platform/state.h"
#include "../manifest/text.h"
#include "../resources/resource.h"

namespace {

const char InstallerLabel[] = "Cratewise:";

enum { TitleLayers = 4, TaglineLayers = 3 };

void PaintStripe(HDC dc)
{
    HPEN pen = CreatePen(PS_INSIDEFRAME, StripeWidth, StripeColor);
    SelectObject(dc, pen);
    MoveToEx(dc, StripePenX, 0, 0);
    LineTo(dc, StripePenX, State.DrawKit.ScreenHeight);
    SelectObject(dc, GetStockObject(NULL_PEN));
    DeleteObject(pen);
}

void PaintHeaderPicture(HDC dc)
{
    const HeaderPicture& picture = State.HeaderPicture;
    if (picture.PictureBlock)
        DrawPackedDib(dc, HeaderPictureX, HeaderPictureY, picture.PictureBlock,
                      picture.PicturePalette);
}

void PaintBoxPicture(HDC dc)
{
    HBITMAP box = LoadBitmapA(State.AppInstance, MAKEINTRESOURCEA(IDB_GROUP));
    if (!box)
        return;
    HBRUSH brush = CreateSolidBrush(StripeColor);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previousBitmap = SelectObject(memory, box);
    HGDIOBJ previousBrush = SelectObject(memory, brush);
    ExtFloodFill(memory, BoxFloodX, BoxFloodY, BoxKeyColor, FLOODFILLSURFACE);
    BackdropPoint at = BoxPictureOrigin(State.DrawKit.ScreenHeight);
    BitBlt(dc, at.X, at.Y, BoxPictureWidth, BoxPictureHeight, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previousBrush);
    SelectObject(memory, previousBitmap);
    DeleteDC(memory);
    DeleteObject(box);
    DeleteObject(brush);
}

// Darkest layer first, each one pixel right of and below the one before.
void PaintLayers(HDC dc, BackdropPoint at, const COLORREF* shades, int layers, const char* text)
{
    int length = TextLength(text);
    for (int i = 0; i < layers; ++i) {
        SetTextColor(dc, shades[i]);
        TextOutA(dc, at.X + i, at.Y + i, text, length);
    }
}

// Puts a font made from the description in the place of the current one,
// which is deleted once it is out of the DC; when the new font cannot be
// made, the current one stays in use.
HFONT SwitchFont(HDC dc, const LOGFONTA& description, HFONT current)
{
    HFONT font = CreateFontIndirectA(&description);
    if (!font)
        return current;
    SelectObject(dc, font);
    if (current)
        DeleteObject(current);
    return font;
}

void PaintTitle(HDC dc)
{
    const DrawKit& kit = State.DrawKit;
    PaintLayers(dc, TitleOrigin(kit.ScreenWidth, kit.ScreenHeight), kit.TitleShades, TitleLayers,
                kit.TitleText);
}

void PaintTagline(HDC dc)
{
    const DrawKit& kit = State.DrawKit;
    SIZE extent = {0, 0};
    TextExtent(dc, kit.TaglineText, &extent);
    PaintLayers(dc, TaglineOrigin(kit.ScreenWidth, kit.ScreenHeight, extent.cx, extent.cy),
                kit.TaglineShades, TaglineLayers, kit.TaglineText);
}

void PaintSteps(HDC dc)
{
    const DrawKit& kit = State.DrawKit;
    for (int32_t index = 0; index < StepRows; ++index) {
        const StepRow& row = StepList[index];
        SetTextColor(dc, StepLit(State.StepMask, row) ? kit.StepLitColor : kit.StepDimColor);
        TextOutA(dc, StepLabelX, StepRowY(index), row.Label, TextLength(row.Label));
    }
}

void PaintInstallerLabel(HDC dc, HFONT current)
{
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    if (current)
        DeleteObject(current);
    SetTextColor(dc, LabelColor);
    TextOutA(dc, InstallerLabelX, InstallerLabelY, InstallerLabel, TextLength(InstallerLabel));
}

}  // namespace

void LoadHeaderPicture(int identifier)
{
    HGLOBAL block = LoadPackedDib(identifier);
    if (!block)
        return;
    State.HeaderPicture.PictureBlock = block;
    HPALETTE palette = BuildDibPalette(block);
    if (palette)
        State.HeaderPicture.PicturePalette = palette;
}

// Later drawing covers earlier drawing; the stripe comes first so that a
// repaint of the step list alone covers the old labels.
void PaintBackdrop(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    int saved = SaveDC(dc);
    SetBkMode(dc, TRANSPARENT);
    PaintStripe(dc);
    PaintHeaderPicture(dc);
    PaintBoxPicture(dc);
    const DrawKit& kit = State.DrawKit;
    HFONT font = SwitchFont(dc, kit.TitleFont, 0);
    PaintTitle(dc);
    font = SwitchFont(dc, kit.TaglineFont, font);
    PaintTagline(dc);
    font = SwitchFont(dc, kit.StepFont, font);
    PaintSteps(dc);
    PaintInstallerLabel(dc, font);
    RestoreDC(dc, saved);
    EndPaint(window, &paint);
}
