// Reading a packed DIB (a 40-byte information header, its colour table, then
// the pixel rows) and turning its colour table into a logical palette record,
// apart from the graphics calls that load and draw it. Fields are read byte
// by byte, little-endian, so the block needs no alignment.
#ifndef CRATEWISE_PICTURE_LOGIC_H
#define CRATEWISE_PICTURE_LOGIC_H

#include <stdint.h>

enum {
    DibHeaderSize = 40,
    DibCompressionNone = 0,
    // The logical palette record: version and count, then four bytes per
    // entry (red, green, blue, flags), allocated with room for one spare.
    PaletteVersion = 0x300,
    PaletteRecordHead = 8
};

// Colour-table entries: the colour-count field when it is set, otherwise 2, 16
// or 256 for 1, 4 or 8 bits per pixel and 0 for any other depth.
uint16_t DibColorCount(const void* header);

// Where the pixel rows begin: after the header and its colour table.
const uint8_t* DibBits(const void* header);

struct DibLayout {
    int32_t Width;
    int32_t Height;  // negative for a top-down picture
    uint16_t BitCount;
    uint16_t ColorCount;
    uint32_t BitsOffset;  // from the start of the block
    uint32_t RowBytes;    // one pixel row, padded to four bytes
};

// Checks that a block of size bytes holds a whole uncompressed packed DIB:
// header, colour table and every pixel row inside the block. 1 and the
// layout filled, or -1 for anything that drawing it could read past.
int32_t ReadDibLayout(const void* block, uint32_t size, DibLayout* layout);

// The size of the palette record for count entries.
uint32_t PaletteRecordSize(uint16_t count);

// Writes the palette record for the DIB's colour table into record (capacity
// bytes, at least PaletteRecordSize of the count): version 0x300, the count,
// and for each entry the red, green and blue of the table (stored blue,
// green, red, reserved) with flags 0. Returns the count, 0 when the DIB has no
// table (no palette), or -1 when the record does not fit.
int32_t FillPaletteRecord(void* record, uint32_t capacity, const void* header);

#endif
