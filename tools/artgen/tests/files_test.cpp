// What artgen writes: the bitmap and icon layouts, the sample product's
// artwork, and the files the command line leaves.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

#include "artwork.h"

namespace {

namespace fs = std::filesystem;
using artgen::Canvas;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

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

const uint32_t kKey = 0x008080;  // as 0xRRGGBB

artgen::Artwork Compile(const std::string& name) {
  artgen::Artwork art;
  std::string error;
  EXPECT_TRUE(artgen::CompileArtwork(ReadText(fs::path(ARTGEN_SAMPLE_ART_DIR) / name), name, &art, &error)) << error;
  return art;
}

std::vector<uint32_t> Palette(const artgen::Artwork& art) {  // as 0xRRGGBB
  std::vector<uint32_t> out;
  for (const artgen::Rgb& c : art.palette) out.push_back(uint32_t(c.r << 16 | c.g << 8 | c.b));
  return out;
}

// Sizes and formats as the installer loads them; all but the header use the
// standard 16 colours in Windows order (written out here, not taken from the
// tool). The header meets the stripe at its corners; the page pictures stand
// on the key colour, which the backdrop floods side-on from (1, 1).
TEST(SampleArt, PicturesHaveTheirSizesFormatsAndPalettes) {
  const std::vector<uint32_t> vga = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080,
                                     0x008080, 0xc0c0c0, 0x808080, 0xff0000, 0x00ff00, 0xffff00,
                                     0x0000ff, 0xff00ff, 0x00ffff, 0xffffff};
  const struct {
    const char* name;
    std::vector<int> sides;  // width and height of each image
    int bpp;
    size_t fileSize;
    uint32_t corners;  // the colour of the first image's corners, ~0 for clear
  } samples[] = {{"header.art", {130, 31}, 8, 14 + 5156, 0x200868},  // a 256-entry table
                 {"page.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168, kKey},
                 {"group.art", {120, 168}, 4, 14 + 40 + 64 + 60 * 168, kKey},
                 {"product.art", {32, 32, 16, 16}, 4, 6 + 2 * 16 + 744 + 296, ~0u}};
  for (const auto& c : samples) {
    SCOPED_TRACE(c.name);
    const artgen::Artwork art = Compile(c.name);
    std::vector<int> sides;
    for (const artgen::ArtImage& image : art.images) {
      sides.insert(sides.end(), {image.canvas.Width(), image.canvas.Height()});
    }
    EXPECT_EQ(sides, c.sides);
    EXPECT_EQ(art.images.at(0).bpp, c.bpp);
    EXPECT_EQ(art.images.back().bpp, c.bpp);
    EXPECT_EQ(artgen::EncodeArtwork(art).size(), c.fileSize);
    if (c.bpp == 4) EXPECT_EQ(Palette(art), vga);
    const artgen::Canvas& first = art.images.at(0).canvas;
    for (const auto& [x, y] : {std::pair{0, 0}, {first.Width() - 1, 0}, {0, first.Height() - 1}}) {
      const artgen::Pixel p = first.At(x, y);
      EXPECT_EQ(p == artgen::kClear ? ~0u : Palette(art).at(static_cast<size_t>(p)), c.corners) << x << "," << y;
    }
  }
}

// The shading needs far more than 16 colours; the box front in the group
// picture keeps its key pixels through the backdrop's flood.
TEST(SampleArt, HeaderIsShadedAndTheGroupPictureEnclosesKeyPixels) {
  const artgen::Artwork header = Compile("header.art");
  const std::vector<artgen::Pixel>& pixels = header.images.at(0).canvas.Pixels();
  EXPECT_GE(std::set<artgen::Pixel>(pixels.begin(), pixels.end()).size(), 40u);
  const artgen::Artwork group = Compile("group.art");
  artgen::Canvas reached = group.images.at(0).canvas;
  const artgen::Pixel key = reached.At(1, 1);
  reached.FloodFill(1, 1, 255);
  EXPECT_EQ(reached.At(119, 167), 255);
  int enclosed = 0;
  for (artgen::Pixel p : reached.Pixels()) enclosed += p == key;
  EXPECT_GE(enclosed, 500);
}

const char kGood[] = "bitmap 4 2 4\npalette\n  vga\nend\nfill red\ndot 0 0 white\n";

// Runs artgen with `arguments` in a fresh folder holding good.art, bad.art,
// big.art and out.bmp. A failed run must leave out.bmp as it was and nothing
// beside it.
void ExpectRun(const std::string& arguments, int exitCode, const std::string& message) {
  SCOPED_TRACE(arguments);
  const fs::path dir = fs::path(ARTGEN_TEST_SCRATCH) / "cli";
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream(dir / "good.art") << kGood;
  std::ofstream(dir / "bad.art") << "bitmap 4 2 4\npalette\n  vga\nend\nfil red\n";
  std::ofstream(dir / "big.art") << kGood + std::string(1 << 20, '\n');
  std::ofstream(dir / "out.bmp") << "previous";
  const std::string command = "cd '" + dir.string() + "' && '" ARTGEN_EXE "' " + arguments + " 2>stderr";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), exitCode);
  EXPECT_EQ(ReadText(dir / "stderr"), message);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 5);
  artgen::Artwork art;
  std::string error;
  ASSERT_TRUE(artgen::CompileArtwork(kGood, "good.art", &art, &error));
  const std::vector<uint8_t> encoded = artgen::EncodeArtwork(art);
  EXPECT_EQ(ReadText(dir / "out.bmp"), exitCode ? "previous" : std::string(encoded.begin(), encoded.end()));
}

TEST(CommandLine, WritesTheEncodedFileOrFailsWithACodeAndAMessage) {
  const std::string usage = "usage: artgen <source> <output>\n";
  ExpectRun("good.art out.bmp", 0, "");
  ExpectRun("bad.art out.bmp", 1, "bad.art:5: unknown command 'fil'\n");
  ExpectRun("", 2, usage);
  ExpectRun("missing.art out.bmp", 2, "artgen: cannot open 'missing.art': No such file or directory\n");
  ExpectRun(". out.bmp", 2, "artgen: cannot read '.'\n");
  ExpectRun("big.art out.bmp", 2, "artgen: 'big.art' is larger than 1 MiB\n");
  ExpectRun("good.art none/x.bmp", 2, "artgen: cannot create 'none/x.bmp.part': No such file or directory\n");
}

}  // namespace
