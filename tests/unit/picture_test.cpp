#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "shell/picture_logic.h"

namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = (uint8_t)v;
    b[at + 1] = (uint8_t)(v >> 8);
}

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = (uint8_t)(v >> (8 * i));
}

// A packed DIB as a resource holds it: header, table, rows; sized from the
// fields unless told otherwise.
std::vector<uint8_t> Dib(int32_t width, int32_t height, uint16_t bits, uint32_t colorsUsed,
                         uint32_t tableEntries, size_t rowBytes, size_t extra = 0)
{
    size_t rows = (size_t)(height < 0 ? -(int64_t)height : height);
    std::vector<uint8_t> b(40 + 4 * tableEntries + rowBytes * rows + extra, 0);
    Put32(b, 0, 40);
    Put32(b, 4, (uint32_t)width);
    Put32(b, 8, (uint32_t)height);
    Put16(b, 12, 1);
    Put16(b, 14, bits);
    Put32(b, 16, 0);
    Put32(b, 32, colorsUsed);
    return b;
}

struct CountCase {
    uint16_t bits;
    uint32_t colorsUsed;
    uint16_t count;
};

class ColourTables : public ::testing::TestWithParam<CountCase> {};

TEST_P(ColourTables, CountAndRowStartFollowTheHeader)
{
    const CountCase& c = GetParam();
    std::vector<uint8_t> dib = Dib(4, 2, c.bits, c.colorsUsed, c.count, 16);
    EXPECT_EQ(DibColorCount(dib.data()), c.count);
    EXPECT_EQ(DibBits(dib.data()), dib.data() + 40 + 4 * c.count);
}

INSTANTIATE_TEST_SUITE_P(Headers, ColourTables, ::testing::Values(
    CountCase{8, 16, 16},     // the count field wins
    CountCase{8, 0, 256},     // the full table of the depth
    CountCase{24, 0, 0},      // no table: rows right after the header
    CountCase{1, 0, 2},
    CountCase{4, 0, 16},
    CountCase{4, 3, 3},
    CountCase{16, 0, 0},
    CountCase{32, 0, 0}));

TEST(ColourTables, RowsStartAfterALargerHeader)
{
    std::vector<uint8_t> dib = Dib(1, 1, 4, 0, 16, 4, 84);
    Put32(dib, 0, 124);
    EXPECT_EQ(DibBits(dib.data()), dib.data() + 124 + 64);
}

TEST(PaletteRecord, TurnsTheTableIntoRedGreenBlueEntries)
{
    std::vector<uint8_t> dib = Dib(130, 31, 8, 0, 256, 132);
    for (int i = 0; i < 256; ++i) {
        dib[40 + 4 * i] = (uint8_t)i;             // blue
        dib[40 + 4 * i + 1] = (uint8_t)(255 - i); // green
        dib[40 + 4 * i + 2] = (uint8_t)(i ^ 0x5a);// red
        dib[40 + 4 * i + 3] = 0xee;               // reserved, not copied
    }
    ASSERT_EQ(PaletteRecordSize(256), 8u + 1024u);
    std::vector<uint8_t> record(PaletteRecordSize(256), 0xcc);
    ASSERT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), dib.data()), 256);
    EXPECT_EQ(record[0] | record[1] << 8, 0x300);
    EXPECT_EQ(record[2] | record[3] << 8, 256);
    for (int i = 0; i < 256; ++i) {
        const uint8_t* entry = &record[4 + 4 * i];
        ASSERT_EQ(entry[0], (uint8_t)(i ^ 0x5a)) << i;
        ASSERT_EQ(entry[1], (uint8_t)(255 - i)) << i;
        ASSERT_EQ(entry[2], (uint8_t)i) << i;
        ASSERT_EQ(entry[3], 0) << i;
    }
}

TEST(PaletteRecord, UsesOnlyTheCountedEntries)
{
    std::vector<uint8_t> dib = Dib(2, 2, 8, 16, 16, 4);
    for (int i = 0; i < 16; ++i)
        dib[40 + 4 * i + 2] = (uint8_t)(100 + i);
    std::vector<uint8_t> record(PaletteRecordSize(16), 0);
    ASSERT_EQ(FillPaletteRecord(record.data(), (uint32_t)record.size(), dib.data()), 16);
    EXPECT_EQ(record[2], 16);
    EXPECT_EQ(record[4 + 4 * 15], 115);
}

TEST(PaletteRecord, NoneForATruecolourPictureAndNoOverrun)
{
    std::vector<uint8_t> truecolour = Dib(2, 2, 24, 0, 0, 8);
    uint8_t record[16];
    EXPECT_EQ(FillPaletteRecord(record, sizeof record, truecolour.data()), 0);

    std::vector<uint8_t> dib = Dib(2, 2, 4, 0, 16, 4);
    std::vector<uint8_t> small(PaletteRecordSize(16) - 1, 0xcc);
    EXPECT_EQ(FillPaletteRecord(small.data(), (uint32_t)small.size(), dib.data()), -1);
    for (uint8_t b : small)
        ASSERT_EQ(b, 0xcc);
}

TEST(Layout, ReadsTheHeaderPictureOfThisProduct)
{
    // 130 x 31, 8 bits, 256 entries: 40 + 1024 + 31 rows of 132 bytes.
    std::vector<uint8_t> dib = Dib(130, 31, 8, 0, 256, 132);
    ASSERT_EQ(dib.size(), 5156u);
    DibLayout layout;
    ASSERT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), 1);
    EXPECT_EQ(layout.Width, 130);
    EXPECT_EQ(layout.Height, 31);
    EXPECT_EQ(layout.BitCount, 8);
    EXPECT_EQ(layout.ColorCount, 256);
    EXPECT_EQ(layout.BitsOffset, 1064u);
    EXPECT_EQ(layout.RowBytes, 132u);
}

struct BadCase {
    const char* what;
    size_t field;     // where to write, or SIZE_MAX for none
    uint32_t value;
    int width;
    size_t cut;       // bytes taken off the end
};

class BadLayouts : public ::testing::TestWithParam<BadCase> {};

TEST_P(BadLayouts, AreRefusedBeforeAnythingReadsPastTheBlock)
{
    const BadCase& c = GetParam();
    std::vector<uint8_t> dib = Dib(120, 168, 4, 0, 16, 60);
    if (c.field != SIZE_MAX) {
        if (c.width == 2)
            Put16(dib, c.field, (uint16_t)c.value);
        else
            Put32(dib, c.field, c.value);
    }
    dib.resize(dib.size() - c.cut);
    DibLayout layout;
    EXPECT_EQ(ReadDibLayout(dib.data(), (uint32_t)dib.size(), &layout), -1) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Headers, BadLayouts, ::testing::Values(
    BadCase{"last row one byte short", SIZE_MAX, 0, 0, 1},
    BadCase{"header size below 40", 0, 12, 4, 0},
    BadCase{"header size past the block", 0, 20000, 4, 0},
    BadCase{"compressed", 16, 2, 4, 0},
    BadCase{"bit fields", 16, 3, 4, 0},
    BadCase{"unknown depth", 14, 3, 2, 0},
    BadCase{"two planes", 12, 2, 2, 0},
    BadCase{"zero width", 4, 0, 4, 0},
    BadCase{"negative width", 4, 0xffffff00u, 4, 0},
    BadCase{"zero height", 8, 0, 4, 0},
    BadCase{"height past the rows", 8, 169, 4, 0},
    BadCase{"top-down height past the rows", 8, (uint32_t)-169, 4, 0},
    BadCase{"huge width", 4, 0x7fffffffu, 4, 0},
    BadCase{"table of 257", 32, 257, 4, 0},
    BadCase{"count field past the block", 32, 200, 4, 0}));

TEST(Layout, AcceptsTopDownAndTruecolourPictures)
{
    std::vector<uint8_t> topDown = Dib(120, -168, 4, 0, 16, 60);
    DibLayout layout;
    ASSERT_EQ(ReadDibLayout(topDown.data(), (uint32_t)topDown.size(), &layout), 1);
    EXPECT_EQ(layout.Height, -168);

    std::vector<uint8_t> truecolour = Dib(3, 2, 24, 0, 0, 12);
    ASSERT_EQ(ReadDibLayout(truecolour.data(), (uint32_t)truecolour.size(), &layout), 1);
    EXPECT_EQ(layout.ColorCount, 0);
    EXPECT_EQ(layout.BitsOffset, 40u);
    EXPECT_EQ(layout.RowBytes, 12u);
}

TEST(Layout, RefusesABlockShorterThanAHeader)
{
    std::vector<uint8_t> dib = Dib(1, 1, 8, 0, 0, 0);
    DibLayout layout;
    EXPECT_EQ(ReadDibLayout(dib.data(), 39, &layout), -1);
    EXPECT_EQ(ReadDibLayout(nullptr, 0, &layout), -1);
}

} // namespace
