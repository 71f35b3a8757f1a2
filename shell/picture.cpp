#include "picture.h"
#include "../platform/state.h"

#include <stddef.h>

// FillPaletteRecord writes exactly this record's layout.
static_assert(offsetof(LOGPALETTE, palNumEntries) == 2, "palette record count");
static_assert(offsetof(LOGPALETTE, palPalEntry) == 4, "palette record entries");
static_assert(sizeof(PALETTEENTRY) == 4, "palette entry");
static_assert(sizeof(BITMAPINFOHEADER) == DibHeaderSize, "DIB header");

HGLOBAL LoadPackedDib(int identifier)
{
    HRSRC found = FindResourceA(State.AppInstance, MAKEINTRESOURCEA(identifier), (LPCSTR)RT_BITMAP);
    if (!found)
        return 0;
    HGLOBAL loaded = LoadResource(State.AppInstance, found);
    const void* bytes = loaded ? LockResource(loaded) : 0;
    DWORD size = SizeofResource(State.AppInstance, found);
    DibLayout layout;
    // Drawing reads the rows the header promises; refuse a picture whose rows
    // would run past its resource.
    if (!bytes || ReadDibLayout(bytes, size, &layout) < 0)
        return 0;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (!block)
        return 0;
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return 0;
    }
    CopyMemory(copy, bytes, size);
    GlobalUnlock(block);
    return block;
}

HPALETTE BuildDibPalette(HGLOBAL block)
{
    const void* header = block ? GlobalLock(block) : 0;
    if (!header)
        return 0;
    uint16_t count = DibColorCount(header);
    if (count == 0) {
        GlobalUnlock(block);
        return 0;
    }
    uint32_t size = PaletteRecordSize(count);
    HGLOBAL recordBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    void* record = recordBlock ? GlobalLock(recordBlock) : 0;
    HPALETTE palette = 0;
    if (record && FillPaletteRecord(record, size, header) > 0)
        palette = CreatePalette((const LOGPALETTE*)record);
    if (record)
        GlobalUnlock(recordBlock);
    if (recordBlock)
        GlobalFree(recordBlock);
    GlobalUnlock(block);
    return palette;
}

int32_t DrawPackedDib(HDC dc, int32_t x, int32_t y, HGLOBAL block, HPALETTE palette)
{
    const void* header = GlobalLock(block);
    if (!header)
        return 0;
    DibLayout layout;
    if (ReadDibLayout(header, (uint32_t)GlobalSize(block), &layout) < 0) {
        GlobalUnlock(block);
        return 0;
    }
    DWORD rows = (DWORD)(layout.Height < 0 ? -layout.Height : layout.Height);
    HPALETTE previous = 0;
    if (palette) {
        previous = SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
    }
    SetDIBitsToDevice(dc, x, y, (DWORD)layout.Width, rows, 0, 0, 0, rows, DibBits(header),
                      (const BITMAPINFO*)header, DIB_RGB_COLORS);
    if (previous) {
        SelectPalette(dc, previous, TRUE);
        RealizePalette(dc);
    }
    GlobalUnlock(block);
    return 1;
}
