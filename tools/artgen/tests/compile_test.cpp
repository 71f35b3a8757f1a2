// The source language: what bad sources are told, and what good ones draw.
#include <gtest/gtest.h>

#include <string>

#include "artwork.h"

namespace {

const std::string kHead = "bitmap 8 8 4\npalette\n  vga\nend\n";  // drawing starts on line 5
const std::string kPal8 = "bitmap 8 8 8\npalette\n";              // the palette starts on line 3
const std::string kIcon = "icon\npalette\n  vga\n";

TEST(Compile, RejectsABadSourceWithFileLineAndReason) {
  const struct {
    std::string source;
    int line;
    const char* message;
  } bad[] = {
      {"; nothing\n\n", 2, "the source has no 'bitmap' or 'icon' line"},
      {"fill black\n", 1, "the source must begin with 'bitmap' or 'icon', not 'fill'"},
      {"bitmap 8 8 3\n", 1, "BITS must be 1, 4 or 8, not 3"},
      {"bitmap 99999999999 8 4\n", 1, "WIDTH 99999999999 is out of range (1 to 1024)"},
      {"bitmap 8 8\n", 1, "'bitmap' takes 3 arguments (bitmap WIDTH HEIGHT BITS), not 2"},
      {kHead + "\n\nrect 0 0 1 1 tael\n", 7, "unknown colour 'tael'"},
      {kHead + "line 0 0 20000 0 black\n", 5, "X 20000 is out of range (-10000 to 10000)"},
      {"bitmap 8 8 4\nfill black\n", 2, "'fill' comes before the palette"},
      {"bitmap 8 8 4\npalette\n  vga\n  colour x #123456\nend\n", 5,
       "the palette has 17 colours but a 4-bit image holds 16"},
      {"bitmap 8 8 4\npalette\n  vga\n", 2, "'palette' has no 'end'"},
      {kPal8 + "  colour a #12345g\nend\n", 3, "a colour value is written #rrggbb, not '#12345g'"},
      {kPal8 + "  vga\n  colour black #000000\n", 4, "colour 'black' is already defined on line 3"},
      {kPal8 + "  ramp a 200 #000000 #ffffff\n  ramp b 100 #000000 #ffffff\n", 4,
       "the palette has more than 256 colours"},
      {kHead + "text 0 0 white \"caf\xE9\"\n", 5, "a text may hold only printable ASCII characters"},
      {kHead + "text 0 0 white \"" + std::string(201, 'a') + "\"\n", 5,
       "the text is longer than 200 characters"},
      {kHead + "fillpolygon black 0 0 5 5 7 0 3\n", 5, "'fillpolygon' has an X without its Y (fillpolygon COLOUR X1 Y1 X2 Y2 ...)"},
      {kHead + "legend\n  x black\nend\npixmap 0 0\n  xxq\nend\n", 9, "'q' is not in the legend"},
      {kHead + "; " + std::string(5000, 'x') + "\n", 5, "the line is longer than 4096 characters"},
      {kIcon + "end\n", 4, "the icon has no 'image'"},
      {kIcon + "end\nimage 300 16 4\n", 5, "WIDTH 300 is out of range (1 to 256)"},
      {kHead + "dot 0 0 clear\n", 5, "'clear' is only for icon images"},
  };
  for (const auto& c : bad) {
    SCOPED_TRACE(c.source.substr(0, 80));
    artgen::Artwork art;
    std::string error;
    ASSERT_FALSE(artgen::CompileArtwork(c.source, "test.art", &art, &error));
    EXPECT_EQ(error, "test.art:" + std::to_string(c.line) + ": " + c.message);
    EXPECT_TRUE(art.images.empty());
  }
}

// The first image as rows of palette indices in hex joined by '|', '.' for clear.
std::string Picture(const std::string& source) {
  artgen::Artwork art;
  std::string error;
  EXPECT_TRUE(artgen::CompileArtwork(source, "test.art", &art, &error)) << error;
  if (art.images.empty()) return "no image";
  const artgen::Canvas& c = art.images[0].canvas;
  std::string out;
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) out += c.At(x, y) < 0 ? '.' : "0123456789abcdef"[c.At(x, y)];
    if (y + 1 < c.Height()) out += '|';
  }
  return out;
}

TEST(Compile, DrawsThePicture) {
  const std::string vga = "palette\n  vga\n  alias key darkcyan\n  ramp bw = black white\nend\n";
  const std::pair<std::string, const char*> cases[] = {
      {"bitmap 3 1 4\n" + vga + "dot 0 0 key\ndot 1 0 white\ndot 2 0 darkred\n", "6f1"},
      {"bitmap 1 1 4\r\npalette\r\n  vga\r\nend\r\n", "0"},
      {"bitmap 4 3 4\n" + vga + "origin 2 1\ndot 0 0 white\nfillrect 1 1 2 1 red\norigin 0 0\ndot 0 0 blue\n",
       "c000|00f0|0009"},
      {"bitmap 4 3 4\n" + vga + "fill white\nlegend\n  . none\n  # black ; ink\n  r red\nend\n"
       "pixmap 1 0\n  #.r\n  .#   ; comment\nend\n",
       "f0f9|ff0f|ffff"},
      // 'over' recolours only that colour; 'up' starts the ramp at the bottom.
      {"bitmap 2 3 4\n" + vga + "dot 0 0 red\ndot 1 1 red\ndot 1 2 red\ngradient 0 0 2 3 bw up over red\n",
       "f0|0f|00"},
      {"bitmap 9 1 4\n" + vga + "gradient 0 0 9 1 bw right dither\n", "00f0fffff"},  // Bayer row 0
      {"bitmap 5 3 4\n" + vga + "line 0 0 4 2 white\nfillpolygon red 0 1 0 2 1 2\n", "f0000|9ff00|990ff"},
      {"bitmap 6 9 4\n" + vga + "text 1 0 red \"li\"\n", "090900|090000|090900|090900|090900|090900|090900|000000|000000"},
      {"bitmap 6 9 4\n" + vga + "text 0 0 blue \"g\"\n", "000000|000000|0cccc0|c000c0|c000c0|c000c0|0cccc0|0000c0|0ccc00"},
      {"bitmap 6 2 4\n" + vga + "text 5 0 red \"l\" right bold\n", "000099|000099"},
      // A window on a scaled '/': the stair gap blocky scaling leaves, filled in when smooth.
      {"bitmap 4 4 4\n" + vga + "text -5 -2 white \"/\" scale 2\n", "000f|000f|0ff0|0ff0"},
      {"bitmap 4 4 4\n" + vga + "text -5 -2 white \"/\" scale 2 smooth\n", "000f|00ff|0fff|fff0"},
      {kIcon + "end\nimage 2 1 4\ndot 0 0 red\n", "9."},
  };
  for (const auto& [source, picture] : cases) EXPECT_EQ(Picture(source), picture) << source;
}

TEST(Compile, RampsBlendThroughEvenlySpacedStops) {
  artgen::Artwork art;
  std::string error;
  ASSERT_TRUE(artgen::CompileArtwork(
      kPal8 + "  ramp grey 5 #000000 #ffffff\n  ramp hot 3 #000000 #ff0000 #ffffff\nend\n", "test.art",
      &art, &error)) << error;
  const int expected[] = {0x000000, 0x404040, 0x808080, 0xbfbfbf, 0xffffff, 0x000000, 0xff0000, 0xffffff};
  ASSERT_EQ(art.palette.size(), 8u);
  for (size_t i = 0; i < 8; ++i) {
    const artgen::Rgb c = art.palette[i];
    EXPECT_EQ(c.r << 16 | c.g << 8 | c.b, expected[i]) << i;
  }
}

}  // namespace
