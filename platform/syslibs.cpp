// The libraries that are not known system DLLs everywhere, lz32 and
// comctl32, are loaded from the system folder by full path. Imported the
// usual way, they would be looked for first in the setup program's own
// folder, where a DLL planted beside a downloaded installer would run with
// its rights. shell32 is loaded the same way, and only after comctl32: it
// brings comctl32 in by name later on, and a library already loaded is the
// one a load by name finds. The pages call the usual functions; these definitions
// resolve the real ones on first use.
#include "win32.h"
#include "../manifest/text.h"

namespace {

HMODULE LoadSystemLibrary(const char* name)
{
    char path[MAX_PATH];
    UINT length = GetSystemDirectoryA(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return 0;
    if (TextFormat(path + length, MAX_PATH - (int32_t)length, "\\%s", name) < 0)
        return 0;
    return LoadLibraryExA(path, 0, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC Resolve(HMODULE* library, const char* libraryName, const char* function)
{
    if (!*library)
        *library = LoadSystemLibrary(libraryName);
    return *library ? GetProcAddress(*library, function) : 0;
}

HMODULE Lz32;
HMODULE CommonControls;
HMODULE Shell;

typedef INT(WINAPI* LzOpenFunction)(LPSTR, LPOFSTRUCT, WORD);
typedef INT(WINAPI* LzReadFunction)(INT, LPSTR, INT);
typedef VOID(WINAPI* LzCloseFunction)(INT);
typedef BOOL(WINAPI* ImageListDrawFunction)(HIMAGELIST, int, HDC, int, int, UINT);
typedef DWORD_PTR(WINAPI* FileInfoFunction)(LPCSTR, DWORD, SHFILEINFOA*, UINT, UINT);

template <class Function>
Function Find(Function* cached, HMODULE* library, const char* libraryName, const char* name)
{
    if (!*cached)
        *cached = (Function)(void*)Resolve(library, libraryName, name);
    return *cached;
}

LzOpenFunction RealLzOpen;
LzReadFunction RealLzRead;
LzCloseFunction RealLzClose;
ImageListDrawFunction RealImageListDraw;
FileInfoFunction RealFileInfo;

}  // namespace

extern "C" {

INT WINAPI LZOpenFileA(LPSTR path, LPOFSTRUCT record, WORD style)
{
    LzOpenFunction real = Find(&RealLzOpen, &Lz32, "lz32.dll", "LZOpenFileA");
    return real ? real(path, record, style) : LZERROR_BADINHANDLE;
}

INT WINAPI LZRead(INT handle, LPSTR buffer, INT count)
{
    LzReadFunction real = Find(&RealLzRead, &Lz32, "lz32.dll", "LZRead");
    return real ? real(handle, buffer, count) : LZERROR_READ;
}

VOID WINAPI LZClose(INT handle)
{
    LzCloseFunction real = Find(&RealLzClose, &Lz32, "lz32.dll", "LZClose");
    if (real)
        real(handle);
}

BOOL WINAPI ImageList_Draw(HIMAGELIST list, int image, HDC dc, int x, int y, UINT style)
{
    ImageListDrawFunction real = Find(&RealImageListDraw, &CommonControls, "comctl32.dll",
                                      "ImageList_Draw");
    return real ? real(list, image, dc, x, y, style) : FALSE;
}

DWORD_PTR WINAPI SHGetFileInfoA(LPCSTR path, DWORD attributes, SHFILEINFOA* info, UINT size,
                                UINT flags)
{
    if (!CommonControls)
        CommonControls = LoadSystemLibrary("comctl32.dll");
    FileInfoFunction real = Find(&RealFileInfo, &Shell, "shell32.dll", "SHGetFileInfoA");
    return real ? real(path, attributes, info, size, flags) : 0;
}

}  // extern "C"
