// The programs' entry point, without the C runtime's start-up: they take no
// arguments, use no static constructors and no C runtime state, and are
// smaller for it.
#include "win32.h"

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup()
{
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(0), 0, GetCommandLineA(), show));
}
