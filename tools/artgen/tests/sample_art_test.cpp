// The sample product's artwork, compiled from the sources in the tree.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "artwork.h"

namespace {

const uint32_t kStripe = 0x200868;  // as 0xRRGGBB
const uint32_t kKey = 0x008080;
// The standard 16 colours in Windows order, written out here rather than taken from the tool.
const std::vector<uint32_t> kVga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                    0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                    0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};

struct Sample {
  artgen::Artwork art;
  std::vector<uint32_t> palette;  // as 0xRRGGBB
  const artgen::Canvas& Image(size_t i) const { return art.images.at(i).canvas; }
  uint32_t Colour(int x, int y) const { return palette.at(static_cast<size_t>(Image(0).At(x, y))); }
};

Sample Compile(const std::string& name) {
  std::ifstream in(std::string(ARTGEN_SAMPLE_ART_DIR) + "/" + name, std::ios::binary);
  Sample s;
  std::string error;
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_TRUE(artgen::CompileArtwork(text, name, &s.art, &error)) << error;
  for (const artgen::Rgb& c : s.art.palette) s.palette.push_back(uint32_t(c.r << 16 | c.g << 8 | c.b));
  return s;
}

TEST(SampleArt, HeaderIsAShadedEightBitPictureThatBlendsIntoTheStripe) {
  const Sample s = Compile("header.art");
  ASSERT_EQ(s.art.images.size(), 1u);
  EXPECT_EQ(s.art.images[0].bpp, 8);
  ASSERT_EQ(s.Image(0).Width(), 130);
  ASSERT_EQ(s.Image(0).Height(), 31);
  EXPECT_EQ(artgen::EncodeArtwork(s.art).size(), 14u + 5156);  // 256 entries in the table
  for (const auto& [x, y] : {std::pair{0, 0}, {129, 0}, {0, 30}, {129, 30}}) EXPECT_EQ(s.Colour(x, y), kStripe);
  std::set<int> used;
  int drawn = 0;
  for (int y = 0; y < 31; ++y) {
    for (int x = 0; x < 130; ++x) {
      used.insert(s.Image(0).At(x, y));
      drawn += s.Colour(x, y) != kStripe;
    }
  }
  EXPECT_GE(used.size(), 40u);  // shading needs far more than 16 colours
  EXPECT_GT(drawn, 130 * 31 / 5);
}

// The backdrop floods the key colour side-on from (1, 1) with the stripe's;
// the group picture's box front keeps its enclosed key pixels.
TEST(SampleArt, PagePicturesAre16ColourVgaOnTheKeyAndTheGroupsEnclosesSome) {
  for (const char* name : {"page.art", "group.art"}) {
    SCOPED_TRACE(name);
    const Sample s = Compile(name);
    ASSERT_EQ(s.art.images.size(), 1u);
    EXPECT_EQ(s.art.images[0].bpp, 4);
    ASSERT_EQ(s.Image(0).Width(), 120);
    ASSERT_EQ(s.Image(0).Height(), 168);
    EXPECT_EQ(s.palette, kVga);
    artgen::Canvas reached = s.Image(0);
    reached.FloodFill(1, 1, 255);
    int enclosed = 0;
    for (int y = 0; y < 168; ++y) {
      for (int x = 0; x < 120; ++x) enclosed += s.Colour(x, y) == kKey && reached.At(x, y) != 255;
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {119, 0}, {0, 167}, {119, 167}}) EXPECT_EQ(reached.At(x, y), 255);
    if (name == std::string("group.art")) EXPECT_GE(enclosed, 500);
  }
}

TEST(SampleArt, IconHoldsA32And16PixelImageOfACrateUnderAnArrow) {
  const Sample s = Compile("product.art");
  ASSERT_EQ(s.art.kind, artgen::ArtKind::kIcon);
  EXPECT_EQ(s.palette, kVga);
  ASSERT_EQ(s.art.images.size(), 2u);
  for (int side : {32, 16}) {
    SCOPED_TRACE(side);
    const artgen::Canvas& c = s.Image(side == 32 ? 0 : 1);
    EXPECT_EQ(s.art.images[side == 32 ? 0 : 1].bpp, 4);
    ASSERT_EQ(c.Width(), side);
    ASSERT_EQ(c.Height(), side);
    EXPECT_EQ(c.At(side - 1, 0), artgen::kClear);
    EXPECT_NE(c.At(side / 2, side / 2), artgen::kClear);
    // The arrow's tip at the top, the crate's base at the bottom.
    int top = 0, bottom = 0;
    for (int y = 0; y < side / 4; ++y) {
      for (int x = 0; x < side; ++x) {
        top += c.At(x, y) != artgen::kClear;
        bottom += c.At(x, side - 1 - y) != artgen::kClear;
      }
    }
    EXPECT_LT(2 * top, bottom);
  }
}

}  // namespace
