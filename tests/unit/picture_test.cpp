#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "shell/picture_logic.h"

namespace {

void Put(std::vector<uint8_t>& b, size_t at, uint32_t value, int bytes = 4)
{
    for (int i = 0; i < bytes; ++i)
        b[at + i] = (uint8_t)(value >> (8 * i));
}

// A packed DIB as a resource holds it: header, table, rows.
std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bits, uint32_t colorsUsed,
                         uint32_t tableEntries, size_t rowBytes)
{
    std::vector<uint8_t> b(40 + 4 * tableEntries + rowBytes * (size_t)std::abs(height), 0);
    Put(b, 0, 40), Put(b, 4, (uint32_t)width), Put(b, 8, (uint32_t)height);
    Put(b, 12, 1, 2), Put(b, 14, bits, 2), Put(b, 32, colorsUsed);
    return b;
}

TEST(DibHeaders, ColourCountRowStartAndLayout)
{
    // Width, height, depth; the table's entries and a row's bytes.
    const std::tuple<int32_t, int32_t, uint16_t, uint32_t, size_t> cases[] = {
        {130, 31, 8, 256, 132},  // the header picture: 5156 bytes
        {120, -168, 4, 16, 60},  // top-down
    };
    for (const auto& [width, height, bits, count, row] : cases) {
        std::vector<uint8_t> dib = Dib(width, height, bits, 0, count, row);
        DibLayout layout;
        ASSERT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), 1) << width;
        EXPECT_EQ(std::vector<size_t>({(size_t)layout.Height, layout.ColorCount, layout.BitsOffset,
                                       layout.RowBytes}),
                  std::vector<size_t>({(size_t)height, count, 40u + 4 * count, row}));
    }
    std::vector<uint8_t> larger = Dib(1, 1, 4, 0, 16 + 21, 4);
    Put(larger, 0, 124);
    EXPECT_EQ(DibBits(larger.data()), larger.data() + 124 + 64);
}

TEST(DibHeaders, ABadLayoutIsRefusedBeforeAnythingReadsPastTheBlock)
{
    // A field of a good picture set to a bad value (offset, value, bytes), or its end cut.
    const std::tuple<size_t, uint32_t, int, size_t>
        cases
            [] =
                {
                    {0, 40, 4, 1},                      // last row one byte short
                    {0, 12, 4, 0},   {0, 20000, 4, 0},  // header size
                    {16, 2, 4, 0},   {14, 3, 2, 0},
                    {12, 2, 2, 0},  // compressed, unknown depth, two planes
                    {4, 0, 4, 0},    {4, 0x7fffffffu, 4, 0},
                    {8, 169, 4, 0},  {8, (uint32_t)-169, 4, 0},
                    {32, 257, 4, 0},
                };
    for (const auto& [field, value, bytes, cut] : cases) {
        std::vector<uint8_t> dib = Dib(120, 168, 4, 0, 16, 60);
        Put(dib, field, value, bytes);
        dib.resize(dib.size() - cut);
        DibLayout layout;
        EXPECT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), -1)
            << field << " " << value;
    }
    DibLayout layout;
    EXPECT_EQ(ReadDibLayout(Dib(1, 1, 8, 0, 0, 0).data(), 39, &layout), -1);
}

TEST(PaletteRecord, TurnsTheCountedTableIntoRedGreenBlueEntriesWithinItsBuffer)
{
    std::vector<uint8_t> dib = Dib(2, 2, 8, 16, 16, 4);
    for (int i = 0; i < 16; ++i)
        Put(dib, 40 + 4 * i, 0xee000000u | (uint32_t)(i ^ 0x5a) << 16 | (255u - i) << 8 | i);
    std::vector<uint8_t> record(PaletteRecordSize(16), 0xcc);
    ASSERT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), dib.data()), 16);
    // Version, count, then each entry as red, green, blue and no flags.
    EXPECT_EQ(std::vector<uint8_t>(record.begin(), record.begin() + 8),
              (std::vector<uint8_t>{0, 3, 16, 0, 0x5a, 255, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(&record[64], &record[68]),
              (std::vector<uint8_t>{15 ^ 0x5a, 255 - 15, 15, 0}));
    std::fill(record.begin(), record.end(), 0xcc);
    EXPECT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size() - 1, dib.data()), -1);
    EXPECT_EQ(std::count(record.begin(), record.end(), 0xcc), (long)record.size()) << "untouched";
    std::vector<uint8_t> truecolour = Dib(2, 2, 24, 0, 0, 8);
    EXPECT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), truecolour.data()), 0);
}

}  // namespace
