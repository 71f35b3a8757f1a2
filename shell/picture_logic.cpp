#include "picture_logic.h"

namespace {

// Offsets of the information header's fields.
enum {
    SizeField = 0,
    WidthField = 4,
    HeightField = 8,
    PlanesField = 12,
    BitCountField = 14,
    CompressionField = 16,
    ColorsUsedField = 32
};

const uint32_t MostColors = 256;

uint16_t Read16(const uint8_t* p) { return (uint16_t)(p[0] | (p[1] << 8)); }

uint32_t Read32(const uint8_t* p)
{
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

void Write16(uint8_t* p, uint16_t value)
{
    p[0] = (uint8_t)value;
    p[1] = (uint8_t)(value >> 8);
}

bool KnownDepth(uint16_t bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

}  // namespace

uint16_t DibColorCount(const void* header)
{
    const uint8_t* h = (const uint8_t*)header;
    uint32_t used = Read32(h + ColorsUsedField);
    if (used != 0)
        return (uint16_t)used;
    switch (Read16(h + BitCountField)) {
    case 1:
        return 2;
    case 4:
        return 16;
    case 8:
        return 256;
    }
    return 0;
}

const uint8_t* DibBits(const void* header)
{
    const uint8_t* h = (const uint8_t*)header;
    return h + Read32(h + SizeField) + 4u * DibColorCount(header);
}

int32_t ReadDibLayout(const void* block, uint32_t size, DibLayout* layout)
{
    const uint8_t* h = (const uint8_t*)block;
    if (!h || size < DibHeaderSize)
        return -1;
    uint32_t headerSize = Read32(h + SizeField);
    int32_t width = (int32_t)Read32(h + WidthField);
    int32_t height = (int32_t)Read32(h + HeightField);
    uint16_t bits = Read16(h + BitCountField);
    if (headerSize < DibHeaderSize || headerSize > size)
        return -1;
    if (Read16(h + PlanesField) != 1 || !KnownDepth(bits))
        return -1;
    if (Read32(h + CompressionField) != DibCompressionNone)
        return -1;
    if (Read32(h + ColorsUsedField) > MostColors)
        return -1;
    if (width <= 0 || height == 0 || height == INT32_MIN)
        return -1;
    uint16_t colors = DibColorCount(block);
    uint64_t bitsOffset = (uint64_t)headerSize + 4u * (uint64_t)colors;
    uint64_t rowBytes = ((uint64_t)width * bits + 31) / 32 * 4;
    uint64_t rows = height < 0 ? (uint64_t)(-(int64_t)height) : (uint64_t)height;
    if (bitsOffset > size || rowBytes * rows > size - bitsOffset)
        return -1;
    layout->Width = width;
    layout->Height = height;
    layout->BitCount = bits;
    layout->ColorCount = colors;
    layout->BitsOffset = (uint32_t)bitsOffset;
    layout->RowBytes = (uint32_t)rowBytes;
    return 1;
}

uint32_t PaletteRecordSize(uint16_t count) { return PaletteRecordHead + 4u * count; }

int32_t FillPaletteRecord(void* record, uint32_t capacity, const void* header)
{
    uint16_t count = DibColorCount(header);
    if (count == 0)
        return 0;
    if (capacity < PaletteRecordSize(count))
        return -1;
    uint8_t* out = (uint8_t*)record;
    const uint8_t* h = (const uint8_t*)header;
    const uint8_t* table = h + Read32(h + SizeField);
    Write16(out, PaletteVersion);
    Write16(out + 2, count);
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t* entry = out + 4 + 4 * i;
        entry[0] = table[4 * i + 2];
        entry[1] = table[4 * i + 1];
        entry[2] = table[4 * i];
        entry[3] = 0;
    }
    return count;
}
