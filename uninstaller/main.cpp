// The uninstaller: row 0 of every product, expanded into the Windows
// directory and named by the product's uninstall entry.
#include "system.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR line, int)
{
    uint32_t handleValue = 0;
    if (ParseFinishLine(line ? line : "", &handleValue) == 1) {
        FinishRemoval(handleValue, Manifest);
        return 0;
    }
    // Started from a shortcut, the current folder may be the one to remove.
    char windows[FullPathSize];
    UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length > 0 && length < sizeof windows)
        SetCurrentDirectoryA(windows);
    WindowsPort port(Manifest);
    RunUninstall(port, Manifest);
    return 0;
}
