// A DLL an attacker might plant beside a downloaded installer. Loaded, it
// leaves a mark file C:\planted-<name>.txt; its functions answer like the
// real ones would fail, so a program that loads it cannot install quietly.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        CloseHandle(CreateFileA("C:\\planted-" PLANT_NAME ".txt", GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    return TRUE;
}

extern "C" {
__declspec(dllexport) INT WINAPI LZOpenFileA(LPSTR, void*, WORD) { return -1; }
__declspec(dllexport) INT WINAPI LZRead(INT, LPSTR, INT) { return -1; }
__declspec(dllexport) VOID WINAPI LZClose(INT) {}
__declspec(dllexport) BOOL WINAPI ImageList_Draw(void*, int, HDC, int, int, UINT) { return FALSE; }
}
