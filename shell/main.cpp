#include "shell.h"
#include "../platform/state.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
{
    StartInstallState();
    if (!RegisterMainClass(instance))
        return 0;
    if (!CreateMainWindow(instance, showCommand))
        return 0;
    MSG message;
    message.wParam = 0;
    while (GetMessageA(&message, 0, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    // The arguments are ignored and the exit code is always 0.
    return 0;
}
