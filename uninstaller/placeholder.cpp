// Stands in for the uninstaller until it is written: says so, removes nothing.
#include "../platform/win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    MessageBoxA(0, "This build has no uninstaller yet; nothing was removed.", "Cratewise",
                MB_OK | MB_ICONWARNING);
    return 0;
}
