#include "meter.h"
#include "meter_logic.h"
#include "../platform/state.h"
#include "pagekit.h"

void HookMeter(HWND meter)
{
    MeterHook& hook = State.MeterHook;
    hook.MeterWindow = meter;
    hook.PreviousProc = (WNDPROC)SetWindowLongPtrA(meter, GWLP_WNDPROC, (LONG_PTR)MeterProc);
}

void UnhookMeter()
{
    MeterHook& hook = State.MeterHook;
    if (hook.MeterWindow && hook.PreviousProc)
        SetWindowLongPtrA(hook.MeterWindow, GWLP_WNDPROC, (LONG_PTR)hook.PreviousProc);
}

void RepaintMeter()
{
    InvalidateRect(State.MeterHook.MeterWindow, 0, TRUE);
    UpdateWindow(State.MeterHook.MeterWindow);
}

void PaintMeter(HWND window)
{
    MeterState& meter = State.MeterState;
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    ClampMeter(meter.Percent, meter.PercentExact);
    char label[MeterLabelSize];
    int32_t length = MeterLabel(label, meter.Percent);

    HFONT font = CreateFontIndirectA(&State.DrawKit.MeterFont);
    HGDIOBJ previous = SelectObject(dc, font);
    SIZE extent = {0, 0};
    TextExtent(dc, label, &extent);
    MeterLayout layout = LayOutMeter(client.right, client.bottom, extent.cx, extent.cy,
                                     meter.PercentExact, meter.MeterColor,
                                     GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNHIGHLIGHT));
    for (const MeterPart& part : layout.Parts) {
        RECT box = {part.Box.Left, part.Box.Top, part.Box.Right, part.Box.Bottom};
        SetTextColor(dc, part.TextColor);
        SetBkColor(dc, part.BackColor);
        ExtTextOutA(dc, layout.LabelX, layout.LabelY, ETO_CLIPPED | ETO_OPAQUE, &box, label,
                    (UINT)(length > 0 ? length : 0), 0);
    }
    SelectObject(dc, previous);
    DeleteObject(font);
    EndPaint(window, &paint);
}

LRESULT CALLBACK MeterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT:
        PaintMeter(window);
        return 0;
    case WM_ERASEBKGND:
        // The paint covers the whole client area.
        return 1;
    }
    return CallWindowProcA(State.MeterHook.PreviousProc, window, message, wParam, lParam);
}
