// The programs' entry point, without the C runtime's start-up: they use no
// static constructors and no C runtime state, and are smaller for it.
#include "win32.h"
#include "hardening.h"

namespace {

// WinMain's command line is what follows the program's own name.
LPSTR Arguments(LPSTR line)
{
    if (*line == '"') {
        ++line;
        while (*line && *line != '"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != ' ' && *line != '\t')
            ++line;
    }
    while (*line == ' ' || *line == '\t')
        ++line;
    return line;
}

}  // namespace

extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup()
{
    LimitLibrarySearch();
    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(0), 0, Arguments(GetCommandLineA()), show));
}
