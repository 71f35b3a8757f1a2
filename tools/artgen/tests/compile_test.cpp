// The source language: what bad sources are told, and what good ones draw.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "artwork.h"

namespace {

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
      {"bitmap 6 9 4\n" + kVga + "text 0 0 blue \"g\"\n", "000000|000000|0cccc0|c000c0|c000c0|c000c0|0cccc0|0000c0|0ccc00"},
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
  artgen::Artwork art;
  std::string error;
  ASSERT_TRUE(artgen::CompileArtwork(
      kPal8 + "  ramp grey 5 #000000 #ffffff\n  ramp hot 3 #000000 #ff0000 #ffffff\nend\n", "test.art",
      &art, &error)) << error;
  std::vector<int> colours;
  for (const artgen::Rgb& c : art.palette) colours.push_back(c.r << 16 | c.g << 8 | c.b);
  EXPECT_EQ(colours, (std::vector<int>{0, 0x404040, 0x808080, 0xbfbfbf, 0xffffff, 0, 0xff0000, 0xffffff}));
}

}  // namespace
