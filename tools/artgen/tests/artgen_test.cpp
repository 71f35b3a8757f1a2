// artgen: the source language (what bad sources are told, what good ones
// draw), the bitmap and icon layouts, the sample product's artwork, and what
// the command line leaves on disk.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "artwork.h"

namespace {

namespace fs = std::filesystem;
using artgen::Canvas;

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

artgen::Artwork CompileText(const std::string& text, const std::string& name = "test.art") {
  artgen::Artwork art;
  std::string error;
  EXPECT_TRUE(artgen::CompileArtwork(text, name, &art, &error)) << error;
  return art;
}

std::vector<uint32_t> Palette(const artgen::Artwork& art) {  // as 0xRRGGBB
  std::vector<uint32_t> out;
  for (const artgen::Rgb& c : art.palette) out.push_back(uint32_t(c.r << 16 | c.g << 8 | c.b));
  return out;
}

const std::string kVga = "palette\n  vga\n  alias key darkcyan\n  ramp bw = black white\nend\n";
const std::string kHead = "bitmap 8 8 4\npalette\n  vga\nend\n";  // drawing starts on line 5
const std::string kPal8 = "bitmap 8 8 8\npalette\n";              // the palette starts on line 3
const std::string kIcon = "icon\npalette\n  vga\n";

// The error, or the first image as rows of palette indices in hex joined by
// '|' ('.' for clear).
std::string Outcome(const std::string& source) {
  artgen::Artwork art;
  std::string error;
  if (!artgen::CompileArtwork(source, "test.art", &art, &error)) {
    return art.images.empty() ? error : "images left behind";
  }
  const artgen::Canvas& c = art.images.at(0).canvas;
  std::string out;
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) out += c.At(x, y) < 0 ? '.' : "0123456789abcdef"[c.At(x, y)];
    if (y + 1 < c.Height()) out += '|';
  }
  return out;
}

TEST(Compile, GivesThePictureOrTheFileLineAndReason) {
  const std::pair<std::string, std::string> cases[] = {
      {"; nothing\n\n", "test.art:2: the source has no 'bitmap' or 'icon' line"},
      {"fill black\n", "test.art:1: the source must begin with 'bitmap' or 'icon', not 'fill'"},
      {"bitmap 8 8 3\n", "test.art:1: BITS must be 1, 4 or 8, not 3"},
      {"bitmap 8 8\n", "test.art:1: 'bitmap' takes 3 arguments (bitmap WIDTH HEIGHT BITS), not 2"},
      {kHead + "\n\nrect 0 0 1 1 tael\n", "test.art:7: unknown colour 'tael'"},
      {"bitmap 8 8 4\nfill black\n", "test.art:2: 'fill' comes before the palette"},
      {"bitmap 8 8 4\npalette\n  vga\n  colour x #123456\nend\n",
       "test.art:5: the palette has 17 colours but a 4-bit image holds 16"},
      {kPal8 + "  colour a #12345g\nend\n", "test.art:3: a colour value is written #rrggbb, not '#12345g'"},
      {kPal8 + "  ramp a 200 #000000 #ffffff\n  ramp b 100 #000000 #ffffff\n",
       "test.art:4: the palette has more than 256 colours"},
      {kHead + "text 0 0 white \"caf\xE9\"\n", "test.art:5: a text may hold only printable ASCII characters"},
      {kHead + "legend\n  x black\nend\npixmap 0 0\n  xxq\nend\n", "test.art:9: 'q' is not in the legend"},
      {kHead + "; " + std::string(5000, 'x') + "\n", "test.art:5: the line is longer than 4096 characters"},
      {kIcon + "end\n", "test.art:4: the icon has no 'image'"},
      {kHead + "dot 0 0 clear\n", "test.art:5: 'clear' is only for icon images"},
      {"bitmap 3 1 4\n" + kVga + "dot 0 0 key\ndot 1 0 white\ndot 2 0 darkred\n", "6f1"},
      {"bitmap 1 1 4\r\npalette\r\n  vga\r\nend\r\n", "0"},
      {"bitmap 4 3 4\n" + kVga + "origin 2 1\ndot 0 0 white\nfillrect 1 1 2 1 red\norigin 0 0\ndot 0 0 blue\n",
       "c000|00f0|0009"},
      {"bitmap 4 3 4\n" + kVga + "fill white\nlegend\n  . none\n  # black ; ink\n  r red\nend\n"
       "pixmap 1 0\n  #.r\n  .#   ; comment\nend\n",
       "f0f9|ff0f|ffff"},
      // 'over' recolours only that colour; 'up' starts the ramp at the bottom.
      {"bitmap 2 3 4\n" + kVga + "dot 0 0 red\ndot 1 1 red\ndot 1 2 red\ngradient 0 0 2 3 bw up over red\n",
       "f0|0f|00"},
      {"bitmap 9 1 4\n" + kVga + "gradient 0 0 9 1 bw right dither\n", "00f0fffff"},  // Bayer row 0
      {"bitmap 5 3 4\n" + kVga + "line 0 0 4 2 white\nfillpolygon red 0 1 0 2 1 2\n", "f0000|9ff00|990ff"},
      // Side-on only, and nothing from outside the picture.
      {"bitmap 4 4 4\n" + kVga + "line 0 3 3 0 white\nflood 0 0 red\nflood -1 3 blue\n", "999f|99f0|9f00|f000"},
      {"bitmap 3 3 4\n" + kVga + "fillrect -5 -5 7 7 white\nellipse -5000 -5000 10000 10000 red\n"
       "fillpolygon red -50 -50 60 -50 5 -1\nrect -1 -1 5 5 red\nline -100 1 100 1 blue\n",
       "ff0|ccc|000"},
      {"bitmap 5 7 4\n" + kVga + "text 0 -2 blue \"g\"\n", "0cccc|c000c|c000c|c000c|0cccc|0000c|0ccc0"},
      // A window on a scaled '/': the stair gap blocky scaling leaves, filled in when smooth.
      {"bitmap 4 4 4\n" + kVga + "text -5 -2 white \"/\" scale 2\n", "000f|000f|0ff0|0ff0"},
      {"bitmap 4 4 4\n" + kVga + "text -5 -2 white \"/\" scale 2 smooth\n", "000f|00ff|0fff|fff0"},
      {kIcon + "end\nimage 2 1 4\ndot 0 0 red\n", "9."},
  };
  for (const auto& [source, outcome] : cases) EXPECT_EQ(Outcome(source), outcome) << source.substr(0, 200);
}

// The backdrop floods side-on from outside, so an outline must wall in all
// of its filled shape even where it runs diagonally.
TEST(Compile, EllipseOutlineIsClosedAgainstASideOnFlood) {
  for (const char* box : {"5 5 30 30", "5 5 31 17", "10 2 6 35", "3 3 5 5", "8 8 2 3"}) {
    const std::string head = "bitmap 40 40 4\n" + kVga;
    const std::string filled = Outcome(head + "fillellipse " + box + " white\n");
    const std::string outline = Outcome(head + "ellipse " + box + " white\nflood 0 0 red\n");
    ASSERT_EQ(filled.size(), outline.size());
    for (size_t i = 0; i < filled.size(); ++i) {
      EXPECT_EQ(outline[i] == '9', filled[i] == '0') << box << ", pixel " << i % 41 << "," << i / 41;
    }
  }
}

TEST(Compile, RampsBlendThroughEvenlySpacedStops) {
  const artgen::Artwork art =
      CompileText(kPal8 + "  ramp grey 5 #000000 #ffffff\n  ramp hot 3 #000000 #ff0000 #ffffff\nend\n");
  EXPECT_EQ(Palette(art),
            (std::vector<uint32_t>{0, 0x404040, 0x808080, 0xbfbfbf, 0xffffff, 0, 0xff0000, 0xffffff}));
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
    const int padded = int(stride) * 8 / bpp;  // pixels a row holds, the padding past `width` zero
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < padded; ++x) {
        ASSERT_EQ(RowPixel(f, bits, padded, height, bpp, x, y), x < width ? PatternAt(x, y, bpp) : 0)
            << x << "," << y;
      }
    }
  }
}

// Clear pixels are set in the mask and black in the colour rows.
TEST(IconFile, HoldsEachImageWithItsMask) {
  artgen::Artwork art{artgen::ArtKind::kIcon, std::vector<artgen::Rgb>(16, {1, 2, 3}), {}};
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
  return CompileText(ReadText(fs::path(ARTGEN_SAMPLE_ART_DIR) / name), name);
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
      EXPECT_EQ(image.bpp, c.bpp);
    }
    EXPECT_EQ(sides, c.sides);
    EXPECT_EQ(artgen::EncodeArtwork(art).size(), c.fileSize);
    EXPECT_TRUE(c.bpp != 4 || Palette(art) == vga) << "not the 16 standard colours";
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
  const std::vector<artgen::Pixel> pixels = Compile("header.art").images.at(0).canvas.Pixels();
  EXPECT_GE(std::set<artgen::Pixel>(pixels.begin(), pixels.end()).size(), 40u);
  artgen::Canvas reached = Compile("group.art").images.at(0).canvas;
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
  EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, exitCode);
  EXPECT_EQ(ReadText(dir / "stderr"), message);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 5);
  const std::vector<uint8_t> encoded = artgen::EncodeArtwork(CompileText(kGood));
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
