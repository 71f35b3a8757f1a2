// The source language: what bad sources are told, and what good ones draw.
#include <gtest/gtest.h>

#include <string>

#include "artwork.h"
#include "font.h"

namespace {

using artgen::Artwork;
using artgen::CompileArtwork;
using artgen::kClear;

// A 4-bit bitmap with the VGA palette; drawing starts on line 5.
const std::string kHead = "bitmap 8 8 4\npalette\n  vga\nend\n";

struct BadSource {
  const char* name;
  std::string source;
  int line;
  const char* message;
  friend void PrintTo(const BadSource& c, std::ostream* os) { *os << c.name; }
};

class Rejects : public testing::TestWithParam<BadSource> {};

TEST_P(Rejects, WithFileLineAndReason) {
  const BadSource& c = GetParam();
  Artwork art;
  std::string error;
  ASSERT_FALSE(CompileArtwork(c.source, "test.art", &art, &error));
  const std::string prefix = "test.art:" + std::to_string(c.line) + ": ";
  EXPECT_EQ(error.substr(0, prefix.size()), prefix) << error;
  EXPECT_NE(error.find(c.message), std::string::npos) << error;
  EXPECT_TRUE(art.images.empty());
}

const std::string kLong(5000, 'x');

INSTANTIATE_TEST_SUITE_P(
    Sources, Rejects,
    testing::Values(
        BadSource{"Empty", "", 1, "the source has no 'bitmap' or 'icon' line"},
        BadSource{"OnlyComments", "; nothing\n\n", 2,
                  "the source has no 'bitmap' or 'icon' line"},
        BadSource{"NoHeader", "fill black\n", 1,
                  "must begin with 'bitmap' or 'icon', not 'fill'"},
        BadSource{"ThreeBits", "bitmap 8 8 3\n", 1, "BITS must be 1, 4 or 8, not 3"},
        BadSource{"TooManyBits", "bitmap 8 8 24\n", 1, "BITS 24 is out of range (1 to 8)"},
        BadSource{"ZeroWidth", "bitmap 0 8 4\n", 1, "WIDTH 0 is out of range (1 to 1024)"},
        BadSource{"HugeWidth", "bitmap 99999999999 8 4\n", 1,
                  "WIDTH 99999999999 is out of range"},
        BadSource{"WordForNumber", "bitmap 8 x 4\n", 1,
                  "HEIGHT must be a whole number, not 'x'"},
        BadSource{"LoneMinus", "bitmap - 8 4\n", 1, "WIDTH must be a whole number, not '-'"},
        BadSource{"MissingArgument", "bitmap 8 8\n", 1,
                  "'bitmap' takes 3 arguments (bitmap WIDTH HEIGHT BITS), not 2"},
        BadSource{"SecondHeader", kHead + "bitmap 8 8 4\n", 5,
                  "'bitmap' may only be the first command"},
        BadSource{"UnknownCommand", kHead + "recct 0 0 1 1 black\n", 5,
                  "unknown command 'recct'"},
        BadSource{"ShortRect", kHead + "rect 0 0 1 black\n", 5,
                  "'rect' takes 5 arguments (rect X Y WIDTH HEIGHT COLOUR), not 4"},
        BadSource{"UnknownColour", kHead + "\n\nrect 0 0 1 1 tael\n", 7,
                  "unknown colour 'tael'"},
        BadSource{"FarCoordinate", kHead + "line 0 0 20000 0 black\n", 5,
                  "X 20000 is out of range (-10000 to 10000)"},
        BadSource{"NegativeSize", kHead + "fillrect 0 0 -2 2 black\n", 5,
                  "WIDTH -2 is out of range (0 to 10000)"},
        BadSource{"DrawBeforePalette", "bitmap 8 8 4\nfill black\n", 2,
                  "'fill' comes before the palette"},
        BadSource{"PaletteTooBig",
                  "bitmap 8 8 4\npalette\n  vga\n  colour extra #123456\nend\n", 5,
                  "the palette has 17 colours but a 4-bit image holds 16"},
        BadSource{"PaletteNotClosed", "bitmap 8 8 4\npalette\n  vga\n", 2,
                  "'palette' has no 'end'"},
        BadSource{"EmptyPalette", "bitmap 8 8 4\npalette\nend\n", 3, "the palette is empty"},
        BadSource{"SecondPalette", kHead + "palette\n", 5, "the source already has a palette"},
        BadSource{"ShortHex", "bitmap 8 8 8\npalette\n  colour a #12345\nend\n", 3,
                  "a colour value is written #rrggbb, not '#12345'"},
        BadSource{"BadHexDigit", "bitmap 8 8 8\npalette\n  colour a #12345g\nend\n", 3,
                  "not '#12345g'"},
        BadSource{"DuplicateColour", "bitmap 8 8 8\npalette\n  vga\n  colour black #000000\n", 4,
                  "colour 'black' is already defined on line 3"},
        BadSource{"ReservedName", "bitmap 8 8 8\npalette\n  colour none #000000\n", 3,
                  "'none' is a reserved word"},
        BadSource{"BadName", "bitmap 8 8 8\npalette\n  colour 9lives #000000\n", 3,
                  "'9lives' is not a valid name"},
        BadSource{"RampOfOne", "bitmap 8 8 8\npalette\n  ramp r 1 #000000 #ffffff\n", 3,
                  "COUNT 1 is out of range (2 to 256)"},
        BadSource{"RampOneStop", "bitmap 8 8 8\npalette\n  ramp r 4 #000000\n", 3,
                  "a ramp needs at least two #rrggbb stops"},
        BadSource{"RampOfOneName", "bitmap 8 8 8\npalette\n  vga\n  ramp r = black\n", 4,
                  "a ramp of existing colours needs at least two"},
        BadSource{"RampClash",
                  "bitmap 8 8 8\npalette\n  colour r1 #000000\n  ramp r 3 #000000 #ffffff\n",
                  4, "ramp entry 'r1' clashes with the colour of line 3"},
        BadSource{"RampTooManyColours",
                  "bitmap 8 8 8\npalette\n  ramp a 200 #000000 #ffffff\n"
                  "  ramp b 100 #000000 #ffffff\n",
                  4, "the palette has more than 256 colours"},
        BadSource{"UnknownPaletteLine", "bitmap 8 8 8\npalette\n  shade x\n", 3,
                  "unknown palette line 'shade'"},
        BadSource{"NonAsciiText", kHead + "text 0 0 white \"caf\xE9" "\"\n", 5,
                  "a text may hold only printable ASCII characters"},
        BadSource{"NonAsciiWord", kHead + "fill bl\xC3\xA4" "ck\n", 5,
                  "unexpected character (byte 0xC3)"},
        BadSource{"ControlCharacter", kHead + "fill\x01 black\n", 5,
                  "unexpected character (byte 0x01)"},
        BadSource{"OpenQuote", kHead + "text 0 0 white \"abc\n", 5,
                  "the text has no closing quote"},
        BadSource{"BadEscape", kHead + "text 0 0 white \"a\\n\"\n", 5,
                  "may follow a backslash"},
        BadSource{"GluedQuote", kHead + "text 0 0 white \"a\"b\n", 5,
                  "a closing quote must be followed by a space"},
        BadSource{"UnquotedText", kHead + "text 0 0 white abc\n", 5,
                  "'text' needs a position, a colour and a quoted text"},
        BadSource{"SmoothScale3", kHead + "text 0 0 white \"a\" scale 3 smooth\n", 5,
                  "'smooth' needs scale 2 or 4"},
        BadSource{"ScaleTooBig", kHead + "text 0 0 white \"a\" scale 9\n", 5,
                  "scale 9 is out of range (1 to 8)"},
        BadSource{"TextOption", kHead + "text 0 0 white \"a\" italic\n", 5,
                  "unexpected 'italic'"},
        BadSource{"TextTooLong", kHead + "text 0 0 white \"" + std::string(201, 'a') + "\"\n",
                  5, "the text is longer than 200 characters"},
        BadSource{"PolygonOddCoordinates", kHead + "fillpolygon black 0 0 5 5 7 0 3\n", 5,
                  "'fillpolygon' has an X without its Y"},
        BadSource{"PolygonTwoPoints", kHead + "polygon black 0 0 5 5\n", 5,
                  "'polygon' needs a colour and at least 3 points"},
        BadSource{"PolygonTooManyPoints",
                  [] {
                    std::string s = kHead + "polygon black";
                    for (int i = 0; i < 257; ++i) s += " 1 1";
                    return s + "\n";
                  }(),
                  5, "'polygon' has more than 256 points"},
        BadSource{"LegendTwoCharacters", kHead + "legend\n  xy black\nend\n", 6,
                  "a legend line is one character and a colour"},
        BadSource{"PixmapUnknownCharacter",
                  kHead + "legend\n  x black\nend\npixmap 0 0\n  xxq\nend\n", 9,
                  "'q' is not in the legend"},
        BadSource{"PixmapSpacedRow", kHead + "legend\n  x black\nend\npixmap 0 0\n  x x\nend\n",
                  9, "a pixmap row is one word of legend characters"},
        BadSource{"PixmapNotClosed", kHead + "legend\n  . none\nend\npixmap 0 0\n  ..\n", 8,
                  "'pixmap' has no 'end'"},
        BadSource{"ClearInBitmap", kHead + "dot 0 0 clear\n", 5,
                  "'clear' is only for icon images"},
        BadSource{"StrayEnd", kHead + "end\n", 5, "'end' without an open block"},
        BadSource{"UnknownRamp", kHead + "gradient 0 0 8 8 nosuch down\n", 5,
                  "unknown ramp 'nosuch'"},
        BadSource{"BadDirection",
                  "bitmap 8 8 4\npalette\n  vga\n  ramp g = black white\nend\n"
                  "gradient 0 0 8 8 g sideways\n",
                  6, "the direction must be down, up, right or left, not 'sideways'"},
        BadSource{"LongLine", kHead + "; " + kLong + "\n", 5,
                  "the line is longer than 4096 characters"},
        BadSource{"IconWithoutImage", "icon\npalette\n  vga\nend\n", 4,
                  "the icon has no 'image'"},
        BadSource{"ImageBeforePalette", "icon\nimage 16 16 4\n", 2,
                  "'image' comes before the palette"},
        BadSource{"DrawBeforeImage", "icon\npalette\n  vga\nend\nfill black\n", 5,
                  "'fill' comes before 'image'"},
        BadSource{"IconTooBig", "icon\npalette\n  vga\nend\nimage 300 16 4\n", 5,
                  "WIDTH 300 is out of range (1 to 256)"},
        BadSource{"IconPaletteTooBig",
                  "icon\npalette\n  vga\n  colour x #010203\nend\nimage 16 16 4\n", 6,
                  "the palette has 17 colours but a 4-bit image holds 16"},
        BadSource{"ImageInBitmap", kHead + "image 8 8 4\n", 5,
                  "'image' belongs in an icon source"}),
    [](const testing::TestParamInfo<BadSource>& info) { return info.param.name; });

Artwork MustCompile(const std::string& source) {
  Artwork art;
  std::string error;
  EXPECT_TRUE(CompileArtwork(source, "test.art", &art, &error)) << error;
  return art;
}

// The picture as rows of palette indices in hex, '.' for clear.
std::string Picture(const Artwork& art, size_t image = 0) {
  const artgen::Canvas& c = art.images.at(image).canvas;
  std::string out;
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      const int p = c.At(x, y);
      out += p == kClear ? '.' : "0123456789abcdef"[p & 15];
    }
    out += '\n';
  }
  return out;
}

TEST(Palette, RampsBlendBetweenEvenlySpacedStops) {
  const Artwork art = MustCompile(
      "bitmap 2 2 8\npalette\n  colour bg #102030\n"
      "  ramp grey 5 #000000 #ffffff\n  ramp hot 3 #000000 #ff0000 #ffffff\nend\n");
  ASSERT_EQ(art.palette.size(), 9u);
  EXPECT_EQ(art.palette[0].r, 0x10);
  EXPECT_EQ(art.palette[0].g, 0x20);
  EXPECT_EQ(art.palette[0].b, 0x30);
  const int grey[5] = {0x00, 0x40, 0x80, 0xBF, 0xFF};
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(art.palette[1 + i].r, grey[i]) << i;
    EXPECT_EQ(art.palette[1 + i].b, grey[i]) << i;
  }
  EXPECT_EQ(art.palette[7].r, 0xFF);  // the middle stop exactly
  EXPECT_EQ(art.palette[7].g, 0x00);
  EXPECT_EQ(art.palette[8].g, 0xFF);
}

TEST(Palette, VgaNamesAndAliasesNameTheStandardEntries) {
  const Artwork art = MustCompile(
      "bitmap 3 1 4\npalette\n  vga\n  alias key darkcyan\nend\n"
      "dot 0 0 key\ndot 1 0 white\ndot 2 0 darkred\n");
  EXPECT_EQ(Picture(art), "6f1\n");
}

TEST(Drawing, OriginShiftsLaterCommandsUntilReset) {
  const Artwork art = MustCompile(kHead +
                                  "origin 2 1\ndot 0 0 white\nfillrect 1 1 2 1 red\n"
                                  "origin 0 0\ndot 0 0 blue\n");
  EXPECT_EQ(Picture(art),
            "c0000000\n"
            "00f00000\n"
            "00099000\n"
            "00000000\n"
            "00000000\n"
            "00000000\n"
            "00000000\n"
            "00000000\n");
}

TEST(Drawing, PixmapPaintsLegendColoursAndSkipsNone) {
  const Artwork art = MustCompile(
      "bitmap 4 3 4\npalette\n  vga\nend\nfill white\n"
      "legend\n  . none\n  # black ; ink\n  r red\nend\n"
      "pixmap 1 0\n  #.r\n  .#   ; trailing comment\nend\n");
  EXPECT_EQ(Picture(art), "f0f9\nff0f\nffff\n");
}

TEST(Drawing, GradientOverRecoloursOnlyThatColourInItsDirection) {
  const Artwork art = MustCompile(
      "bitmap 4 3 4\npalette\n  vga\n  ramp warm = red yellow white\nend\n"
      "fill black\ndot 0 0 blue\ndot 3 2 blue\ndot 1 1 blue\n"
      "gradient 0 0 4 3 warm up over blue\n");
  // up: the bottom row takes the ramp's first colour, the top row its last.
  EXPECT_EQ(Picture(art), "f000\n0b00\n0009\n");
}

TEST(Drawing, DitheredGradientMixesNeighbourColoursAcrossTheRamp) {
  const Artwork art = MustCompile(
      "bitmap 16 4 4\npalette\n  vga\n  ramp bw = black white\nend\n"
      "gradient 0 0 16 4 bw right dither\n");
  const std::string p = Picture(art);
  int whites = 0;
  for (int y = 0; y < 4; ++y) {
    EXPECT_EQ(p[y * 17 + 0], '0');
    EXPECT_EQ(p[y * 17 + 15], 'f');
  }
  for (int y = 0; y < 4; ++y) {
    for (int x = 6; x < 10; ++x) whites += p[y * 17 + x] == 'f';
  }
  EXPECT_GT(whites, 2);
  EXPECT_LT(whites, 14);
}

TEST(Drawing, IconImagesStartClearAndBitmapsStartAtEntryZero) {
  const Artwork icon = MustCompile(
      "icon\npalette\n  vga\nend\nimage 2 1 4\ndot 0 0 red\nimage 1 1 4\n");
  EXPECT_EQ(Picture(icon, 0), "9.\n");
  EXPECT_EQ(Picture(icon, 1), ".\n");
  const Artwork bitmap = MustCompile("bitmap 2 1 4\npalette\n  vga\nend\n");
  EXPECT_EQ(Picture(bitmap), "00\n");
}

TEST(Drawing, WindowsLineEndsAreAccepted) {
  const Artwork art = MustCompile("bitmap 1 1 4\r\npalette\r\n  vga\r\nend\r\nfill red\r\n");
  EXPECT_EQ(Picture(art), "9\n");
}

struct TextCase {
  const char* command;
  const char* picture;
  friend void PrintTo(const TextCase& c, std::ostream* os) { *os << c.command; }
};

class Text : public testing::TestWithParam<TextCase> {};

TEST_P(Text, DrawsTheBuiltInGlyphs) {
  const Artwork art = MustCompile("bitmap 8 9 4\npalette\n  vga\nend\n" +
                                  std::string(GetParam().command) + "\n");
  EXPECT_EQ(Picture(art), GetParam().picture);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, Text,
    testing::Values(
        TextCase{"text 0 0 white \"T\"",
                 "fffff000\n00f00000\n00f00000\n00f00000\n00f00000\n"
                 "00f00000\n00f00000\n00000000\n00000000\n"},
        // Two glyphs one column apart; 'i' is one column wide.
        TextCase{"text 1 0 red \"li\"",
                 "09090000\n09000000\n09090000\n09090000\n09090000\n"
                 "09090000\n09090000\n00000000\n00000000\n"},
        TextCase{"text 7 2 red \"l\" right spacing 3",
                 "00000000\n00000000\n00000009\n00000009\n00000009\n"
                 "00000009\n00000009\n00000009\n00000009\n"},
        TextCase{"text 0 0 white \"l\" bold scale 2",
                 "ffff0000\nffff0000\nffff0000\nffff0000\nffff0000\n"
                 "ffff0000\nffff0000\nffff0000\nffff0000\n"},
        // 'g' reaches below the baseline.
        TextCase{"text 0 0 blue \"g\"",
                 "00000000\n00000000\n0cccc000\nc000c000\nc000c000\n"
                 "c000c000\n0cccc000\n0000c000\n0ccc0000\n"}),
    [](const testing::TestParamInfo<TextCase>& info) {
      return "Case" + std::to_string(info.index);
    });

TEST(Text, SmoothScalingRoundsDiagonalsInsteadOfStairs) {
  const std::string head = "bitmap 10 14 4\npalette\n  vga\nend\n";
  const Artwork blocky = MustCompile(head + "text 0 0 white \"/\" scale 2\n");
  const Artwork smooth = MustCompile(head + "text 0 0 white \"/\" scale 2 smooth\n");
  const std::string b = Picture(blocky);
  const std::string s = Picture(smooth);
  EXPECT_NE(b, s);
  // Scale2x on a diagonal fills the notch beside each step: row 3, column 7
  // is a stair gap in the blocky form and ink in the smooth one.
  EXPECT_EQ(b[3 * 11 + 7], '0');
  EXPECT_EQ(s[3 * 11 + 7], 'f');
}

TEST(Font, CoversPrintableAsciiWithWellFormedGlyphs) {
  int count = 0;
  const artgen::Glyph* glyphs = artgen::FontGlyphs(&count);
  ASSERT_EQ(count, 95);
  for (int i = 0; i < count; ++i) {
    const artgen::Glyph& g = glyphs[i];
    SCOPED_TRACE(std::string("glyph '") + g.ch + "'");
    EXPECT_EQ(g.ch, static_cast<char>(' ' + i));
    EXPECT_EQ(artgen::FindGlyph(g.ch), &g);
    const std::string rows = g.rows;
    const int width = artgen::GlyphWidth(g);
    EXPECT_GE(width, 1);
    int rowCount = 0;
    size_t start = 0;
    for (;;) {
      const size_t bar = rows.find('|', start);
      const std::string row = rows.substr(start, bar == std::string::npos ? bar : bar - start);
      EXPECT_EQ(static_cast<int>(row.size()), width) << "row " << rowCount;
      EXPECT_EQ(row.find_first_not_of("#."), std::string::npos);
      ++rowCount;
      if (bar == std::string::npos) break;
      start = bar + 1;
    }
    EXPECT_GE(rowCount, artgen::kFontBaselineRows);
    EXPECT_LE(rowCount, artgen::kFontRows);
    bool ink = false;
    for (int y = 0; y < artgen::kFontRows; ++y) {
      for (int x = 0; x < width; ++x) ink = ink || artgen::GlyphInk(g, x, y);
    }
    EXPECT_EQ(ink, g.ch != ' ');
  }
  EXPECT_EQ(artgen::FindGlyph('\x7f'), nullptr);
  EXPECT_EQ(artgen::FindGlyph('\x1f'), nullptr);
}

}  // namespace
