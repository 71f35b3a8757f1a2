// The sample product's artwork, compiled from the sources in the tree.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "artwork.h"

namespace {

const uint32_t kStripe = 0x200868;  // as 0xRRGGBB
const uint32_t kKey = 0x008080;

artgen::Artwork Compile(const std::string& name) {
  std::ifstream in(std::string(ARTGEN_SAMPLE_ART_DIR) + "/" + name, std::ios::binary);
  artgen::Artwork art;
  std::string error;
  EXPECT_TRUE(artgen::CompileArtwork(std::string(std::istreambuf_iterator<char>(in), {}), name, &art, &error))
      << error;
  return art;
}

std::vector<uint32_t> Palette(const artgen::Artwork& art) {  // as 0xRRGGBB
  std::vector<uint32_t> out;
  for (const artgen::Rgb& c : art.palette) out.push_back(uint32_t(c.r << 16 | c.g << 8 | c.b));
  return out;
}

// Sizes and formats as the installer loads them; all but the header use the
// standard 16 colours in Windows order (written out here, not taken from the tool).
TEST(SampleArt, PicturesHaveTheirSizesFormatsAndPalettes) {
  const std::vector<uint32_t> vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                     0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  const struct {
    const char* name;
    std::vector<int> sides;  // width and height of each image
    int bpp;
    size_t fileSize;
  } samples[] = {{"header.art", {130, 31}, 8, 14 + 5156},  // a 256-entry table
                 {"page.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168},
                 {"group.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168},
                 {"product.art", {32, 32, 16, 16}, 4, 6 + 2 * 16 + 744 + 296}};
  for (const auto& c : samples) {
    SCOPED_TRACE(c.name);
    const artgen::Artwork art = Compile(c.name);
    std::vector<int> sides;
    for (const artgen::ArtImage& image : art.images) {
      sides.insert(sides.end(), {image.canvas.Width(), image.canvas.Height()});
      EXPECT_EQ(image.bpp, c.bpp);
      if (art.kind == artgen::ArtKind::kIcon) EXPECT_EQ(image.canvas.At(0, 0), artgen::kClear);
    }
    EXPECT_EQ(sides, c.sides);
    EXPECT_EQ(artgen::EncodeArtwork(art).size(), c.fileSize);
    if (c.bpp == 4) EXPECT_EQ(Palette(art), vga);
  }
}

// The header blends into the stripe at its corners and is shaded; the page
// pictures stand on the key colour, which the backdrop floods side-on from
// (1, 1); the group picture keeps enclosed key pixels through that flood.
TEST(SampleArt, PicturesMeetTheBackdropAsItPaintsThem) {
  const artgen::Artwork header = Compile("header.art");
  const artgen::Canvas& h = header.images.at(0).canvas;
  for (const auto& [x, y] : {std::pair{0, 0}, {129, 0}, {0, 30}, {129, 30}}) {
    EXPECT_EQ(Palette(header).at(static_cast<size_t>(h.At(x, y))), kStripe);
  }
  EXPECT_GE(std::set<artgen::Pixel>(h.Pixels().begin(), h.Pixels().end()).size(), 40u);
  for (const char* name : {"page.art", "group.art"}) {
    SCOPED_TRACE(name);
    const artgen::Artwork art = Compile(name);
    artgen::Canvas reached = art.images.at(0).canvas;
    const artgen::Pixel key = reached.At(1, 1);
    EXPECT_EQ(Palette(art).at(static_cast<size_t>(key)), kKey);
    reached.FloodFill(1, 1, 255);
    for (const auto& [x, y] : {std::pair{0, 0}, {119, 0}, {0, 167}, {119, 167}}) EXPECT_EQ(reached.At(x, y), 255);
    const auto& before = art.images[0].canvas.Pixels();
    int enclosed = 0;
    for (size_t i = 0; i < before.size(); ++i) enclosed += before[i] == key && reached.Pixels()[i] == key;
    if (name == std::string("group.art")) EXPECT_GE(enclosed, 500);
  }
}

}  // namespace
