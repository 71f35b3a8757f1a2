// The sample product's artwork, compiled from the sources in the tree.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "artwork.h"

namespace {

const uint32_t kStripe = 0x200868;  // as 0xRRGGBB
const uint32_t kKey = 0x008080;

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
  EXPECT_TRUE(artgen::CompileArtwork(std::string(std::istreambuf_iterator<char>(in), {}), name, &s.art, &error))
      << error;
  for (const artgen::Rgb& c : s.art.palette) s.palette.push_back(uint32_t(c.r << 16 | c.g << 8 | c.b));
  return s;
}

// Sizes and formats as the installer loads them; all but the header use the
// standard 16 colours in Windows order (written out here, not taken from the tool).
TEST(SampleArt, PicturesHaveTheirSizesFormatsAndPalettes) {
  const std::vector<uint32_t> vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                     0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  const struct {
    const char* name;
    std::vector<int> sides;  // width, height of each image
    int bpp;
    size_t fileSize;
  } samples[] = {{"header.art", {130, 31}, 8, 14 + 5156},  // a 256-entry table
                 {"page.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168},
                 {"group.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168},
                 {"product.art", {32, 32, 16, 16}, 4, 6 + 2 * 16 + 744 + 296}};
  for (const auto& c : samples) {
    SCOPED_TRACE(c.name);
    const Sample s = Compile(c.name);
    ASSERT_EQ(s.art.images.size() * 2, c.sides.size());
    for (size_t i = 0; i < s.art.images.size(); ++i) {
      EXPECT_EQ(s.Image(i).Width(), c.sides[2 * i]);
      EXPECT_EQ(s.Image(i).Height(), c.sides[2 * i + 1]);
      EXPECT_EQ(s.art.images[i].bpp, c.bpp);
    }
    EXPECT_EQ(artgen::EncodeArtwork(s.art).size(), c.fileSize);
    if (c.bpp == 4) EXPECT_EQ(s.palette, vga);
  }
}

TEST(SampleArt, HeaderIsShadedAndBlendsIntoTheStripe) {
  const Sample s = Compile("header.art");
  for (const auto& [x, y] : {std::pair{0, 0}, {129, 0}, {0, 30}, {129, 30}}) EXPECT_EQ(s.Colour(x, y), kStripe);
  const std::set<artgen::Pixel> used(s.Image(0).Pixels().begin(), s.Image(0).Pixels().end());
  EXPECT_GE(used.size(), 40u);
}

// The backdrop floods the key colour side-on from (1, 1) with the stripe's;
// the box front in the group picture keeps its enclosed key pixels.
TEST(SampleArt, PagePicturesStandOnTheKeyAndTheGroupsEnclosesSome) {
  for (const char* name : {"page.art", "group.art"}) {
    SCOPED_TRACE(name);
    const Sample s = Compile(name);
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

TEST(SampleArt, IconImagesAreOpaqueInTheMiddleAndClearAtTheCorner) {
  const Sample s = Compile("product.art");
  for (const int side : {32, 16}) {
    const artgen::Canvas& c = s.Image(side == 32 ? 0 : 1);
    EXPECT_EQ(c.At(side - 1, 0), artgen::kClear) << side;
    EXPECT_NE(c.At(side / 2, side / 2), artgen::kClear) << side;
  }
}

}  // namespace
