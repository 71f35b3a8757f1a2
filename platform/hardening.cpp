#include "hardening.h"
#include "win32.h"

#include <dde.h>

namespace {

// Both functions are resolved at run time: older systems lack them.
const DWORD SearchSystemFolder = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32
const DWORD AddToFilter = 1;                  // MSGFLT_ADD

typedef BOOL(WINAPI* SearchFunction)(DWORD);
typedef BOOL(WINAPI* FilterFunction)(UINT, DWORD);

FARPROC SystemFunction(const char* library, const char* name)
{
    HMODULE module = GetModuleHandleA(library);
    return module ? GetProcAddress(module, name) : 0;
}

} // namespace

void LimitLibrarySearch()
{
    SearchFunction limit =
        (SearchFunction)(void*)SystemFunction("kernel32.dll", "SetDefaultDllDirectories");
    if (limit)
        limit(SearchSystemFolder);
}

void AllowDdeMessages()
{
    FilterFunction allow =
        (FilterFunction)(void*)SystemFunction("user32.dll", "ChangeWindowMessageFilter");
    for (UINT message = WM_DDE_FIRST; allow && message <= WM_DDE_LAST; ++message)
        allow(message, AddToFilter);
}
