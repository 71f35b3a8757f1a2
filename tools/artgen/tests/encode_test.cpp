// Bitmap and icon files built from small pictures made in the test.
#include <gtest/gtest.h>

#include <vector>

#include "artwork.h"

namespace {

using artgen::Canvas;

uint32_t Field(const std::vector<uint8_t>& f, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes; i-- > 0;) v = v << 8 | f.at(at + static_cast<size_t>(i));
  return v;
}

// Colours from the position, so that a swapped row, nibble or column shows.
int PatternAt(int x, int y, int bpp) { return (x * 3 + y * 5 + 1) % (1 << bpp); }

TEST(BitmapFile, StoresPaddedRowsBottomUpAfterTheFullColourTable) {
  const int shapes[][3] = {{8, 130, 31}, {8, 5, 3}, {4, 120, 168}, {4, 3, 4}, {1, 33, 3}, {1, 7, 7}};
  for (const auto& [bpp, width, height] : shapes) {
    SCOPED_TRACE(testing::Message() << width << "x" << height << "x" << bpp);
    artgen::Artwork art;
    for (int i = 0; i < (1 << bpp) && i < 20; ++i) art.palette.push_back({uint8_t(i), uint8_t(i * 2), 7});
    Canvas canvas(width, height, 0);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) canvas.Plot(x, y, static_cast<artgen::Pixel>(PatternAt(x, y, bpp)));
    }
    art.images.push_back({bpp, canvas});
    const std::vector<uint8_t> f = artgen::EncodeArtwork(art);
    const uint32_t stride = (width * bpp + 31) / 32 * 4, bits = 54 + (4u << bpp);
    ASSERT_EQ(f.size(), bits + stride * height);
    const uint32_t fields[][3] = {{0, 2, 'B' | 'M' << 8}, {2, 4, uint32_t(f.size())}, {10, 4, bits}, {14, 4, 40},
                                  {18, 4, uint32_t(width)}, {22, 4, uint32_t(height)}, {26, 2, 1},
                                  {28, 2, uint32_t(bpp)}, {30, 4, 0}, {34, 4, stride * height}, {46, 4, 0}};
    for (const auto& [at, bytes, value] : fields) EXPECT_EQ(Field(f, at, int(bytes)), value) << "at " << at;
    for (uint32_t i = 0; i < (1u << bpp); ++i) {  // declared entries, then black
      EXPECT_EQ(Field(f, 54 + 4 * i, 4), i < 20 ? (i << 16 | i * 2 << 8 | 7) : 0) << "entry " << i;
    }
    for (int y = 0; y < height; ++y) {
      const size_t row = bits + static_cast<size_t>(height - 1 - y) * stride;
      for (int x = 0; x < width; ++x) {
        const int shift = (8 / bpp - 1 - x % (8 / bpp)) * bpp;
        ASSERT_EQ((f[row + x * bpp / 8] >> shift) & ((1 << bpp) - 1), PatternAt(x, y, bpp)) << x << "," << y;
      }
      for (uint32_t bit = uint32_t(width * bpp); bit < stride * 8; ++bit) {
        ASSERT_EQ((f[row + bit / 8] >> (7 - bit % 8)) & 1, 0) << "padding of row " << y;
      }
    }
  }
}

TEST(IconFile, MasksClearPixelsAndBlacksThemOut) {
  artgen::Artwork art;
  art.kind = artgen::ArtKind::kIcon;
  art.palette.assign(16, {1, 2, 3});
  Canvas big(32, 32, artgen::kClear);
  big.FillRect(0, 31, 32, 1, 9);  // the bottom row
  big.Plot(5, 0, 12);
  Canvas small(16, 16, 3);
  small.Plot(15, 0, artgen::kClear);
  art.images = {{4, big}, {4, small}};
  const std::vector<uint8_t> f = artgen::EncodeArtwork(art);
  ASSERT_EQ(f.size(), 6u + 32 + 744 + 296);
  // Directory, then each image's entry (side, side, 16 colours, planes, bits,
  // size, offset) and its header (height counting both halves).
  const uint32_t fields[][3] = {
      {0, 2, 0},       {2, 2, 1},        {4, 2, 2},         {6, 2, 32 | 32 << 8}, {8, 2, 16},
      {10, 2, 1},      {12, 2, 4},       {14, 4, 744},      {18, 4, 38},          {22, 2, 16 | 16 << 8},
      {30, 4, 296},    {34, 4, 782},     {38, 4, 40},       {42, 4, 32},          {46, 4, 64},
      {52, 2, 4},      {54, 4, 0},       {58, 4, 512 + 128}, {782 + 8, 4, 32},    {782 + 14, 2, 4}};
  for (const auto& [at, bytes, value] : fields) EXPECT_EQ(Field(f, at, int(bytes)), value) << "at " << at;
  const size_t xor32 = 38 + 104, and32 = xor32 + 512;
  EXPECT_EQ(Field(f, and32, 4), 0u);           // bottom row opaque
  EXPECT_EQ(Field(f, xor32, 4), 0x99999999u);  // in colour 9
  EXPECT_EQ(Field(f, and32 + 31 * 4, 4), 0xFFFFFFFBu);  // top row: only pixel 5 opaque,
  EXPECT_EQ(Field(f, xor32 + 31 * 16, 4), 0x000C0000u);  // the others black
  const size_t xor16 = 782 + 104, and16 = xor16 + 128;
  for (size_t row = 0; row < 15; ++row) EXPECT_EQ(Field(f, and16 + 4 * row, 4), 0u) << row;
  EXPECT_EQ(Field(f, and16 + 15 * 4, 4), 0x0100u);  // 2 bytes of mask padded to 4
  EXPECT_EQ(Field(f, xor16 + 15 * 8, 4), 0x33333333u);
  EXPECT_EQ(Field(f, xor16 + 15 * 8 + 4, 4), 0x30333333u);
}

}  // namespace
