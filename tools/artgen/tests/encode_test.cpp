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

// Pixel (x, y) of rows stored bottom-up from `at`, each padded to 4 bytes.
int RowPixel(const std::vector<uint8_t>& f, size_t at, int width, int height, int bpp, int x, int y) {
  const size_t row = at + static_cast<size_t>(height - 1 - y) * ((width * bpp + 31) / 32 * 4);
  return f.at(row + x * bpp / 8) >> (8 - bpp - x * bpp % 8) & ((1 << bpp) - 1);
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
    // Every pixel, and the padding past the last one read as a 1-bit pixel.
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) ASSERT_EQ(RowPixel(f, bits, width, height, bpp, x, y), PatternAt(x, y, bpp));
      for (int bit = width * bpp; bit < int(stride) * 8; ++bit) ASSERT_EQ(RowPixel(f, bits, int(stride) * 8, height, 1, bit, y), 0);
    }
  }
}

// Clear pixels are set in the mask and black in the colour rows.
TEST(IconFile, HoldsEachImageWithItsMask) {
  artgen::Artwork art;
  art.kind = artgen::ArtKind::kIcon;
  art.palette.assign(16, {1, 2, 3});
  Canvas big(32, 32, artgen::kClear), small(16, 16, 3);
  big.FillRect(0, 31, 32, 1, 9);
  big.Plot(5, 0, 12);
  small.Plot(15, 0, artgen::kClear);
  art.images = {{4, big}, {4, small}};
  const std::vector<uint8_t> f = artgen::EncodeArtwork(art);
  ASSERT_EQ(f.size(), 6u + 32 + 744 + 296);
  // The directory; each entry (side, side, 16 colours, planes, bits, size,
  // offset); each image's header, its height counting both halves.
  const uint32_t fields[][3] = {
      {0, 2, 0},      {2, 2, 1},      {4, 2, 2},     {6, 2, 32 | 32 << 8}, {8, 2, 16},       {10, 2, 1},
      {12, 2, 4},     {14, 4, 744},   {18, 4, 38},   {22, 2, 16 | 16 << 8}, {30, 4, 296},    {34, 4, 782},
      {38, 4, 40},    {42, 4, 32},    {46, 4, 64},   {52, 2, 4},           {54, 4, 0},       {58, 4, 512 + 128},
      {782 + 8, 4, 32}, {782 + 14, 2, 4}};
  for (const auto& [at, bytes, value] : fields) EXPECT_EQ(Field(f, at, int(bytes)), value) << "at " << at;
  for (const auto& [canvas, at] : {std::pair{big, size_t(38 + 104)}, {small, size_t(782 + 104)}}) {
    const int side = canvas.Width();
    for (int y = 0; y < side; ++y) {
      for (int x = 0; x < side; ++x) {
        const bool clear = canvas.At(x, y) == artgen::kClear;
        EXPECT_EQ(RowPixel(f, at, side, side, 4, x, y), clear ? 0 : canvas.At(x, y)) << x << "," << y;
        EXPECT_EQ(RowPixel(f, at + side * side / 2, 32, side, 1, x, y), clear) << x << "," << y;
      }
      for (int x = side; x < 32; ++x) EXPECT_EQ(RowPixel(f, at + side * side / 2, 32, side, 1, x, y), 0);
    }
  }
}

}  // namespace
