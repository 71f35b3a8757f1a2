// The copy page's two-tone progress meter: control 405 with its window
// procedure replaced while the page runs.
#ifndef CRATEWISE_METER_H
#define CRATEWISE_METER_H

#include "../platform/win32.h"

// WM_UNHOOK_METER, wParam and lParam 0: sent by the copy page's engine to the
// copy page itself just before it ends the dialog (after the last pause, or
// after a failed expansion's message and before the abort notice); the page
// answers by giving the meter back its own window procedure.
enum { WM_UNHOOK_METER = WM_USER + 1 };

void HookMeter(HWND meter);
void UnhookMeter();
// Paints the meter now, so each change of the progress shows before the
// engine goes on.
void RepaintMeter();

LRESULT CALLBACK MeterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PaintMeter(HWND window);

#endif
