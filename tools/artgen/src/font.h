// The built-in bitmap font used by the 'text' command.
#ifndef ARTGEN_FONT_H
#define ARTGEN_FONT_H

namespace artgen {

// Every glyph cell is this many rows: 7 rows down to the baseline, then 2
// rows for descenders.
constexpr int kFontRows = 9;
constexpr int kFontBaselineRows = 7;

struct Glyph {
  char ch;
  // Rows joined by '|', '#' for ink and '.' for paper. Rows left out at the
  // end are blank.
  const char* rows;
};

// The glyph for a printable ASCII character (space to '~'), or nullptr.
const Glyph* FindGlyph(char ch);

// Width in columns of a glyph (the length of its first row).
int GlyphWidth(const Glyph& glyph);

// True when the glyph has ink at (column, row); false outside the glyph.
bool GlyphInk(const Glyph& glyph, int column, int row);

// All glyphs, for checking the table itself.
const Glyph* FontGlyphs(int* count);

}  // namespace artgen

#endif
