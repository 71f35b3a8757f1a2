// Bitmap and icon files built from small pictures made in the test.
#include <gtest/gtest.h>

#include <vector>

#include "artwork.h"
#include "test_support.h"

namespace {

using artgen::Artwork;
using artgen::ArtImage;
using artgen::ArtKind;
using artgen::Canvas;
using artgen::kClear;
using artgen_test::S32;
using artgen_test::U16;
using artgen_test::U32;

struct Shape {
  int bpp;
  int width;
  int height;
  friend void PrintTo(const Shape& s, std::ostream* os) {
    *os << s.width << "x" << s.height << "x" << s.bpp;
  }
};

// Every pixel gets a colour from its position so that a swapped row, a
// wrong nibble order or a shifted column all show.
int PatternAt(int x, int y, int bpp) { return (x * 3 + y * 5 + 1) % (1 << bpp); }

Artwork Patterned(const Shape& s) {
  Artwork art;
  art.kind = ArtKind::kBitmap;
  for (int i = 0; i < (1 << s.bpp) && i < 20; ++i) {
    art.palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(i * 2),
                           static_cast<uint8_t>(i * 3)});
  }
  Canvas canvas(s.width, s.height, 0);
  for (int y = 0; y < s.height; ++y) {
    for (int x = 0; x < s.width; ++x) {
      canvas.Plot(x, y, static_cast<artgen::Pixel>(PatternAt(x, y, s.bpp)));
    }
  }
  art.images.push_back(ArtImage{s.bpp, canvas});
  return art;
}

class BitmapFile : public testing::TestWithParam<Shape> {};

TEST_P(BitmapFile, StoresPaddedRowsBottomUpAfterTheFullColourTable) {
  const Shape s = GetParam();
  const std::vector<uint8_t> f = artgen::EncodeArtwork(Patterned(s));
  const uint32_t stride = ((s.width * s.bpp + 31) / 32) * 4;
  const uint32_t table = 4u << s.bpp;
  ASSERT_EQ(f.size(), 14 + 40 + table + stride * s.height);
  EXPECT_EQ(U32(f, 2), f.size());
  EXPECT_EQ(U32(f, 10), 14 + 40 + table);
  EXPECT_EQ(S32(f, 18), s.width);
  EXPECT_EQ(S32(f, 22), s.height);
  EXPECT_EQ(U16(f, 28), static_cast<uint32_t>(s.bpp));
  EXPECT_EQ(U32(f, 34), stride * s.height);
  EXPECT_EQ(U32(f, 46), 0u);
  // The table: declared entries, then black.
  for (uint32_t i = 0; i < (1u << s.bpp); ++i) {
    const size_t at = 54 + 4 * i;
    const uint32_t expected = i < 20 ? i : 0;
    EXPECT_EQ(f[at + 2], expected) << "red " << i;
    EXPECT_EQ(f[at + 1], (expected * 2) & 0xFF) << "green " << i;
    EXPECT_EQ(f[at + 0], (expected * 3) & 0xFF) << "blue " << i;
    EXPECT_EQ(f[at + 3], 0) << "reserved " << i;
  }
  const size_t bits = 14 + 40 + table;
  const int perByte = 8 / s.bpp;
  for (int y = 0; y < s.height; ++y) {
    const size_t row = bits + static_cast<size_t>(s.height - 1 - y) * stride;
    for (int x = 0; x < s.width; ++x) {
      const int shift = (perByte - 1 - x % perByte) * s.bpp;
      const int value = (f[row + x / perByte] >> shift) & ((1 << s.bpp) - 1);
      ASSERT_EQ(value, PatternAt(x, y, s.bpp)) << x << "," << y;
    }
    // Padding bits past the last pixel are zero.
    const int usedBits = s.width * s.bpp;
    for (uint32_t bit = static_cast<uint32_t>(usedBits); bit < stride * 8; ++bit) {
      ASSERT_EQ((f[row + bit / 8] >> (7 - bit % 8)) & 1, 0) << "row " << y << " bit " << bit;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, BitmapFile,
                         testing::Values(Shape{8, 130, 31}, Shape{8, 1, 1}, Shape{8, 5, 3},
                                         Shape{4, 120, 168}, Shape{4, 3, 4}, Shape{4, 9, 2},
                                         Shape{1, 33, 3}, Shape{1, 7, 7}));

TEST(IconFile, MasksClearPixelsAndBlacksThemOut) {
  Artwork art;
  art.kind = ArtKind::kIcon;
  for (int i = 0; i < 16; ++i) {
    art.palette.push_back({static_cast<uint8_t>(i * 16), 0, 0});
  }
  Canvas big(32, 32, kClear);
  big.FillRect(0, 31, 32, 1, 9);  // the bottom row solid
  big.Plot(5, 0, 12);             // one pixel in the top row
  Canvas small(16, 16, 3);
  small.Plot(15, 0, kClear);
  art.images.push_back(ArtImage{4, big});
  art.images.push_back(ArtImage{4, small});
  const std::vector<uint8_t> f = artgen::EncodeArtwork(art);
  ASSERT_EQ(f.size(), 6u + 32 + 744 + 296);
  EXPECT_EQ(U16(f, 4), 2u);
  EXPECT_EQ(U32(f, 6 + 8), 744u);
  EXPECT_EQ(U32(f, 6 + 12), 38u);
  EXPECT_EQ(U32(f, 22 + 8), 296u);
  EXPECT_EQ(U32(f, 22 + 12), 38u + 744);

  // 32x32: colour rows at 38 + 104, mask rows after 512 bytes of them.
  const size_t xor32 = 38 + 104;
  const size_t and32 = xor32 + 512;
  EXPECT_EQ(U32(f, 38 + 8), 64u);  // height counts both halves
  EXPECT_EQ(U32(f, 38 + 20), 512u + 128u);
  for (int b = 0; b < 4; ++b) {
    EXPECT_EQ(f[and32 + b], 0x00) << "bottom row opaque";
    EXPECT_EQ(f[xor32 + 4 * b], 0x99) << "bottom row colour";
  }
  const size_t topMask = and32 + 31 * 4;
  EXPECT_EQ(f[topMask], 0xFB);  // pixel 5 of the top row is opaque
  EXPECT_EQ(f[topMask + 1], 0xFF);
  EXPECT_EQ(f[xor32 + 31 * 16 + 2], 0x0C);  // pixel 5: low nibble of byte 2
  EXPECT_EQ(f[xor32 + 31 * 16 + 0], 0x00);  // clear pixels are black

  // 16x16: mask rows of 2 bytes padded to 4.
  const size_t base16 = 38 + 744;
  const size_t and16 = base16 + 104 + 128;
  const size_t topRow16 = and16 + 15 * 4;
  EXPECT_EQ(f[topRow16], 0x00);
  EXPECT_EQ(f[topRow16 + 1], 0x01);
  EXPECT_EQ(f[topRow16 + 2], 0x00);
  EXPECT_EQ(f[topRow16 + 3], 0x00);
  EXPECT_EQ(f[base16 + 104 + 15 * 8 + 7], 0x30);  // pixel 15 blacked out
}

}  // namespace
