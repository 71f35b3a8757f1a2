#include "pages.h"
#include "pagekit.h"
#include "../shell/shell.h"

void CompletionStep(HWND mainWindow)
{
    MarkStep(32);
    MarkStep(64);
    PumpFor(mainWindow, 1000);
    DestroyWindow(mainWindow);
}
