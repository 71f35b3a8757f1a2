#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "artwork.h"
#include "font.h"

namespace artgen {
namespace {

const Rgb kVga[16] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00},
    {0x80, 0x80, 0x00}, {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80},
    {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0}, {0x80, 0x80, 0x80},
    {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF},
    {0xFF, 0xFF, 0xFF},
};

const char* const kVgaNames[16] = {
    "black",    "darkred",     "darkgreen", "darkyellow",
    "darkblue", "darkmagenta", "darkcyan",  "lightgrey",
    "darkgrey", "red",         "green",     "yellow",
    "blue",     "magenta",     "cyan",      "white",
};

// Raised with the message for the line being compiled.
struct SourceError {
  std::string message;
};

[[noreturn]] void Fail(const std::string& message) { throw SourceError{message}; }

std::string Quote(const std::string& s) { return "'" + s + "'"; }

struct Token {
  std::string text;
  bool quoted = false;
};

// Splits one line into words. Spaces, tabs and commas separate words; ';'
// starts a comment; "..." is one word with \" and \\ as escapes.
std::vector<Token> Tokenize(const std::string& line) {
  std::vector<Token> tokens;
  size_t i = 0;
  const size_t n = line.size();
  auto separator = [](char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == ',';
  };
  while (i < n) {
    const char c = line[i];
    if (separator(c)) {
      ++i;
      continue;
    }
    if (c == ';') break;
    Token token;
    if (c == '"') {
      token.quoted = true;
      ++i;
      bool closed = false;
      while (i < n) {
        char d = line[i++];
        if (d == '"') {
          closed = true;
          break;
        }
        if (d == '\\') {
          if (i >= n || (line[i] != '"' && line[i] != '\\')) {
            Fail("only \\\" and \\\\ may follow a backslash in a text");
          }
          d = line[i++];
        }
        if (static_cast<unsigned char>(d) < 0x20 ||
            static_cast<unsigned char>(d) > 0x7E) {
          Fail("a text may hold only printable ASCII characters");
        }
        token.text.push_back(d);
      }
      if (!closed) Fail("the text has no closing quote");
      if (i < n && !separator(line[i]) && line[i] != ';') {
        Fail("a closing quote must be followed by a space");
      }
    } else {
      while (i < n && !separator(line[i]) && line[i] != ';') {
        const unsigned char d = static_cast<unsigned char>(line[i]);
        if (d < 0x20 || d > 0x7E) {
          char buffer[64];
          std::snprintf(buffer, sizeof buffer,
                        "unexpected character (byte 0x%02X)", d);
          Fail(buffer);
        }
        if (d == '"') Fail("a quote may only start a word");
        token.text.push_back(static_cast<char>(d));
        ++i;
      }
    }
    tokens.push_back(token);
  }
  return tokens;
}

bool ValidName(const std::string& name) {
  if (name.empty() || name.size() > 32) return false;
  if (!std::isalpha(static_cast<unsigned char>(name[0]))) return false;
  for (char c : name) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
  }
  return true;
}

int ParseInt(const Token& token, int low, int high, const char* what) {
  const std::string& s = token.text;
  bool ok = !token.quoted && !s.empty();
  size_t i = 0;
  bool negative = false;
  if (ok && s[0] == '-') {
    negative = true;
    i = 1;
    ok = s.size() > 1;
  }
  long value = 0;
  for (; ok && i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') {
      ok = false;
      break;
    }
    value = value * 10 + (s[i] - '0');
    if (value > 1000000) value = 1000000;  // far out of every range
  }
  if (!ok) Fail(std::string(what) + " must be a whole number, not " + Quote(s));
  if (negative) value = -value;
  if (value < low || value > high) {
    Fail(std::string(what) + " " + s + " is out of range (" +
         std::to_string(low) + " to " + std::to_string(high) + ")");
  }
  return static_cast<int>(value);
}

bool ParseHexColour(const std::string& s, Rgb* out) {
  if (s.size() != 7 || s[0] != '#') return false;
  unsigned v[6];
  for (int i = 0; i < 6; ++i) {
    const char c = s[1 + i];
    if (c >= '0' && c <= '9') {
      v[i] = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      v[i] = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      v[i] = c - 'A' + 10;
    } else {
      return false;
    }
  }
  out->r = static_cast<uint8_t>(v[0] * 16 + v[1]);
  out->g = static_cast<uint8_t>(v[2] * 16 + v[3]);
  out->b = static_cast<uint8_t>(v[4] * 16 + v[5]);
  return true;
}

Rgb ParseRgb(const Token& token) {
  Rgb rgb;
  if (token.quoted || !ParseHexColour(token.text, &rgb)) {
    Fail("a colour value is written #rrggbb, not " + Quote(token.text));
  }
  return rgb;
}

// One pass of the Scale2x rule: doubles the mask and rounds its diagonals.
Mask Scale2x(const Mask& in) {
  Mask out;
  out.width = in.width * 2;
  out.height = in.height * 2;
  out.bits.assign(static_cast<size_t>(out.width) * out.height, 0);
  for (int y = 0; y < in.height; ++y) {
    for (int x = 0; x < in.width; ++x) {
      const bool p = in.At(x, y);
      const bool a = in.At(x, y - 1);
      const bool b = in.At(x + 1, y);
      const bool c = in.At(x - 1, y);
      const bool d = in.At(x, y + 1);
      const bool e0 = (c == a && c != d && a != b) ? a : p;
      const bool e1 = (a == b && a != c && b != d) ? b : p;
      const bool e2 = (d == c && d != b && c != a) ? c : p;
      const bool e3 = (b == d && b != a && d != c) ? d : p;
      const size_t row0 = static_cast<size_t>(2 * y) * out.width + 2 * x;
      const size_t row1 = row0 + out.width;
      out.bits[row0] = e0;
      out.bits[row0 + 1] = e1;
      out.bits[row1] = e2;
      out.bits[row1 + 1] = e3;
    }
  }
  return out;
}

Mask ScaleBlocky(const Mask& in, int scale) {
  Mask out;
  out.width = in.width * scale;
  out.height = in.height * scale;
  out.bits.assign(static_cast<size_t>(out.width) * out.height, 0);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      out.bits[static_cast<size_t>(y) * out.width + x] =
          in.At(x / scale, y / scale);
    }
  }
  return out;
}

const int kBayer4[4][4] = {
    {0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

enum class Block { kNone, kPalette, kLegend, kPixmap };

class Compiler {
 public:
  explicit Compiler(Artwork* art) : art_(art) {}

  void Run(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      ++line_;
      if (end - start > static_cast<size_t>(kMaxLineLength)) {
        Fail("the line is longer than " + std::to_string(kMaxLineLength) +
             " characters");
      }
      Line(Tokenize(text.substr(start, end - start)));
      start = end + 1;
    }
    Finish();
  }

  int LineNumber() const { return line_; }

 private:
  void Line(const std::vector<Token>& words) {
    if (words.empty()) return;
    switch (block_) {
      case Block::kPalette:
        PaletteLine(words);
        return;
      case Block::kLegend:
        LegendLine(words);
        return;
      case Block::kPixmap:
        PixmapLine(words);
        return;
      case Block::kNone:
        Command(words);
        return;
    }
  }

  // ---- document structure ----

  void Command(const std::vector<Token>& w) {
    const std::string& name = w[0].text;
    if (w[0].quoted) Fail("a line must start with a command, not a text");
    if (name == "end") Fail("'end' without an open block");
    if (!started_) {
      if (name == "bitmap") return StartBitmap(w);
      if (name == "icon") return StartIcon(w);
      Fail("the source must begin with 'bitmap' or 'icon', not " + Quote(name));
    }
    if (name == "bitmap" || name == "icon") {
      Fail(Quote(name) + " may only be the first command");
    }
    if (name == "palette") return OpenPalette(w);
    if (name == "legend") return OpenBlock(w, Block::kLegend, "legend");
    if (name == "image") return StartImage(w);
    if (name == "origin") {
      Args(w, 2, "origin X Y");
      originX_ = Coord(w[1], "X");
      originY_ = Coord(w[2], "Y");
      return;
    }
    // Everything else draws.
    static const char* const kDrawing[] = {
        "fill",    "dot",         "line",   "polyline", "rect",
        "fillrect", "ellipse",    "fillellipse", "circle", "fillcircle",
        "polygon", "fillpolygon", "flood",  "gradient", "text",
        "pixmap"};
    bool known = false;
    for (const char* d : kDrawing) known = known || name == d;
    if (!known) Fail("unknown command " + Quote(name));
    if (!paletteDone_) Fail(Quote(name) + " comes before the palette");
    if (art_->images.empty()) Fail(Quote(name) + " comes before 'image'");
    Draw(name, w);
  }

  void StartBitmap(const std::vector<Token>& w) {
    Args(w, 3, "bitmap WIDTH HEIGHT BITS");
    const int width = ParseInt(w[1], 1, kMaxBitmapSide, "WIDTH");
    const int height = ParseInt(w[2], 1, kMaxBitmapSide, "HEIGHT");
    const int bpp = Bits(w[3]);
    art_->kind = ArtKind::kBitmap;
    art_->images.push_back(ArtImage{bpp, Canvas(width, height, 0)});
    started_ = true;
  }

  void StartIcon(const std::vector<Token>& w) {
    Args(w, 0, "icon");
    art_->kind = ArtKind::kIcon;
    started_ = true;
  }

  void StartImage(const std::vector<Token>& w) {
    if (art_->kind != ArtKind::kIcon) Fail("'image' belongs in an icon source");
    Args(w, 3, "image WIDTH HEIGHT BITS");
    if (!paletteDone_) Fail("'image' comes before the palette");
    if (art_->images.size() >= static_cast<size_t>(kMaxIconImages)) {
      Fail("an icon holds at most " + std::to_string(kMaxIconImages) +
           " images");
    }
    const int width = ParseInt(w[1], 1, kMaxIconSide, "WIDTH");
    const int height = ParseInt(w[2], 1, kMaxIconSide, "HEIGHT");
    const int bpp = Bits(w[3]);
    CheckPaletteFits(bpp);
    art_->images.push_back(ArtImage{bpp, Canvas(width, height, kClear)});
    originX_ = originY_ = 0;
  }

  int Bits(const Token& t) {
    const int bpp = ParseInt(t, 1, 8, "BITS");
    if (bpp != 1 && bpp != 4 && bpp != 8) {
      Fail("BITS must be 1, 4 or 8, not " + t.text);
    }
    return bpp;
  }

  void CheckPaletteFits(int bpp) {
    const size_t limit = size_t{1} << bpp;
    if (art_->palette.size() > limit) {
      Fail("the palette has " + std::to_string(art_->palette.size()) +
           " colours but a " + std::to_string(bpp) + "-bit image holds " +
           std::to_string(limit));
    }
  }

  void OpenBlock(const std::vector<Token>& w, Block block, const char* usage) {
    Args(w, 0, usage);
    block_ = block;
    blockLine_ = line_;
    blockName_ = w[0].text;
  }

  void Finish() {
    if (block_ != Block::kNone) {
      line_ = blockLine_;
      Fail(Quote(blockName_) + " has no 'end'");
    }
    if (!started_) {
      line_ = std::max(line_, 1);
      Fail("the source has no 'bitmap' or 'icon' line");
    }
    if (!paletteDone_) Fail("the source has no palette");
    if (art_->images.empty()) Fail("the icon has no 'image'");
  }

  // ---- palette ----

  void OpenPalette(const std::vector<Token>& w) {
    if (paletteDone_) Fail("the source already has a palette");
    OpenBlock(w, Block::kPalette, "palette");
  }

  void PaletteLine(const std::vector<Token>& w) {
    const std::string& what = w[0].text;
    if (w[0].quoted) Fail("a palette line must start with a word");
    if (what == "end") {
      Args(w, 0, "end");
      if (art_->palette.empty()) Fail("the palette is empty");
      if (art_->kind == ArtKind::kBitmap) {
        CheckPaletteFits(art_->images[0].bpp);
      }
      paletteDone_ = true;
      block_ = Block::kNone;
      return;
    }
    if (what == "vga") {
      Args(w, 0, "vga");
      for (int i = 0; i < 16; ++i) AddColour(kVgaNames[i], kVga[i]);
      return;
    }
    if (what == "colour" || what == "color") {
      Args(w, 2, "colour NAME #rrggbb");
      const std::string name = NewName(w[1]);
      AddColour(name, ParseRgb(w[2]));
      return;
    }
    if (what == "alias") {
      Args(w, 2, "alias NAME COLOUR");
      const std::string name = NewName(w[1]);
      const Pixel target = Colour(w[2]);
      names_[name] = target;
      nameLines_[name] = line_;
      return;
    }
    if (what == "ramp") return RampLine(w);
    Fail("unknown palette line " + Quote(what) +
         " (expected vga, colour, alias, ramp or end)");
  }

  void RampLine(const std::vector<Token>& w) {
    if (w.size() < 3) {
      Fail("'ramp' needs a name and colours (ramp NAME COUNT #rrggbb #rrggbb "
           "... or ramp NAME = COLOUR COLOUR ...)");
    }
    const std::string name = w[1].text;
    if (w[1].quoted || !ValidName(name)) {
      Fail(Quote(name) + " is not a valid name (a letter, then letters, "
           "digits or '_', at most 32)");
    }
    if (ramps_.count(name)) {
      Fail("ramp " + Quote(name) + " is already defined on line " +
           std::to_string(rampLines_[name]));
    }
    std::vector<Pixel> entries;
    if (w[2].text == "=" && !w[2].quoted) {
      if (w.size() < 5) Fail("a ramp of existing colours needs at least two");
      for (size_t i = 3; i < w.size(); ++i) entries.push_back(Colour(w[i]));
    } else {
      const int count = ParseInt(w[2], 2, 256, "COUNT");
      if (w.size() < 5) Fail("a ramp needs at least two #rrggbb stops");
      std::vector<Rgb> stops;
      for (size_t i = 3; i < w.size(); ++i) stops.push_back(ParseRgb(w[i]));
      for (int k = 0; k < count; ++k) {
        // Spread the stops evenly along the ramp and blend between them.
        const double pos = static_cast<double>(k) * static_cast<double>(stops.size() - 1) / (count - 1);
        const size_t s = std::min(static_cast<size_t>(pos), stops.size() - 2);
        const double f = pos - static_cast<double>(s);
        auto mix = [f](uint8_t a, uint8_t b) {
          return static_cast<uint8_t>(std::lround(a + (b - a) * f));
        };
        const Rgb rgb{mix(stops[s].r, stops[s + 1].r),
                      mix(stops[s].g, stops[s + 1].g),
                      mix(stops[s].b, stops[s + 1].b)};
        const std::string entry = name + std::to_string(k);
        if (names_.count(entry)) {
          Fail("ramp entry " + Quote(entry) + " clashes with the colour of "
               "line " + std::to_string(nameLines_[entry]));
        }
        entries.push_back(AddColour(entry, rgb));
      }
    }
    ramps_[name] = entries;
    rampLines_[name] = line_;
  }

  std::string NewName(const Token& t) {
    if (t.quoted || !ValidName(t.text)) {
      Fail(Quote(t.text) + " is not a valid name (a letter, then letters, "
           "digits or '_', at most 32)");
    }
    if (t.text == "none" || t.text == "clear") {
      Fail(Quote(t.text) + " is a reserved word");
    }
    if (names_.count(t.text)) {
      Fail("colour " + Quote(t.text) + " is already defined on line " +
           std::to_string(nameLines_[t.text]));
    }
    return t.text;
  }

  Pixel AddColour(const std::string& name, Rgb rgb) {
    if (names_.count(name)) {
      Fail("colour " + Quote(name) + " is already defined on line " +
           std::to_string(nameLines_[name]));
    }
    if (art_->palette.size() >= 256) Fail("the palette has more than 256 colours");
    const Pixel index = static_cast<Pixel>(art_->palette.size());
    art_->palette.push_back(rgb);
    names_[name] = index;
    nameLines_[name] = line_;
    return index;
  }

  Pixel Colour(const Token& t) {
    if (!t.quoted && t.text == "clear") {
      if (art_->kind != ArtKind::kIcon) Fail("'clear' is only for icon images");
      return kClear;
    }
    const auto it = names_.find(t.text);
    if (t.quoted || it == names_.end()) {
      Fail("unknown colour " + Quote(t.text));
    }
    return it->second;
  }

  // ---- legend and pixmaps ----

  void LegendLine(const std::vector<Token>& w) {
    if (!w[0].quoted && w[0].text == "end") {
      Args(w, 0, "end");
      block_ = Block::kNone;
      return;
    }
    if (w.size() != 2 || w[0].quoted || w[0].text.size() != 1) {
      Fail("a legend line is one character and a colour (for example: "
           "# black), or 'end'");
    }
    if (!paletteDone_) Fail("the legend comes before the palette");
    const char c = w[0].text[0];
    if (!w[1].quoted && w[1].text == "none") {
      legend_[c] = std::nullopt;
    } else {
      legend_[c] = Colour(w[1]);
    }
  }

  void PixmapLine(const std::vector<Token>& w) {
    if (!w[0].quoted && w[0].text == "end" && w.size() == 1) {
      block_ = Block::kNone;
      return;
    }
    if (w.size() != 1 || w[0].quoted) {
      Fail("a pixmap row is one word of legend characters");
    }
    const std::string& row = w[0].text;
    Canvas& canvas = art_->images.back().canvas;
    for (size_t i = 0; i < row.size(); ++i) {
      const auto it = legend_.find(row[i]);
      if (it == legend_.end()) {
        Fail(std::string("'") + row[i] + "' is not in the legend");
      }
      if (it->second) {
        canvas.Plot(pixmapX_ + static_cast<int>(i), pixmapY_ + pixmapRow_,
                    *it->second);
      }
    }
    ++pixmapRow_;
  }

  // ---- drawing ----

  void Draw(const std::string& name, const std::vector<Token>& w) {
    Canvas& canvas = art_->images.back().canvas;
    if (name == "fill") {
      Args(w, 1, "fill COLOUR");
      canvas.Fill(Colour(w[1]));
    } else if (name == "dot") {
      Args(w, 3, "dot X Y COLOUR");
      canvas.Plot(X(w[1]), Y(w[2]), Colour(w[3]));
    } else if (name == "line") {
      Args(w, 5, "line X1 Y1 X2 Y2 COLOUR");
      canvas.Line(X(w[1]), Y(w[2]), X(w[3]), Y(w[4]), Colour(w[5]));
    } else if (name == "rect" || name == "fillrect") {
      Args(w, 5, (name + " X Y WIDTH HEIGHT COLOUR").c_str());
      const int x = X(w[1]);
      const int y = Y(w[2]);
      const int width = Size(w[3], "WIDTH");
      const int height = Size(w[4], "HEIGHT");
      const Pixel c = Colour(w[5]);
      if (name == "rect") {
        canvas.FrameRect(x, y, width, height, c);
      } else {
        canvas.FillRect(x, y, width, height, c);
      }
    } else if (name == "ellipse" || name == "fillellipse") {
      Args(w, 5, (name + " X Y WIDTH HEIGHT COLOUR").c_str());
      canvas.Ellipse(X(w[1]), Y(w[2]), Size(w[3], "WIDTH"),
                     Size(w[4], "HEIGHT"), Colour(w[5]),
                     name == "fillellipse");
    } else if (name == "circle" || name == "fillcircle") {
      Args(w, 4, (name + " X Y RADIUS COLOUR").c_str());
      const int x = X(w[1]);
      const int y = Y(w[2]);
      const int r = ParseInt(w[3], 0, kMaxCoordinate, "RADIUS");
      canvas.Ellipse(x - r, y - r, 2 * r + 1, 2 * r + 1, Colour(w[4]),
                     name == "fillcircle");
    } else if (name == "polygon" || name == "fillpolygon" ||
               name == "polyline") {
      PolygonCommand(name, w, canvas);
    } else if (name == "flood") {
      Args(w, 3, "flood X Y COLOUR");
      canvas.FloodFill(X(w[1]), Y(w[2]), Colour(w[3]));
    } else if (name == "gradient") {
      GradientCommand(w, canvas);
    } else if (name == "text") {
      TextCommand(w, canvas);
    } else if (name == "pixmap") {
      Args(w, 2, "pixmap X Y");
      pixmapX_ = X(w[1]);
      pixmapY_ = Y(w[2]);
      pixmapRow_ = 0;
      OpenBlock({w[0]}, Block::kPixmap, "pixmap X Y");
    }
  }

  void PolygonCommand(const std::string& name, const std::vector<Token>& w,
                      Canvas& canvas) {
    const size_t least = name == "polyline" ? 2 : 3;
    const std::string usage = name + " COLOUR X1 Y1 X2 Y2 ...";
    if (w.size() < 2 + 2 * least) {
      Fail(Quote(name) + " needs a colour and at least " +
           std::to_string(least) + " points (" + usage + ")");
    }
    if ((w.size() - 2) % 2 != 0) {
      Fail(Quote(name) + " has an X without its Y (" + usage + ")");
    }
    if ((w.size() - 2) / 2 > static_cast<size_t>(kMaxPolygonPoints)) {
      Fail(Quote(name) + " has more than " +
           std::to_string(kMaxPolygonPoints) + " points");
    }
    const Pixel c = Colour(w[1]);
    std::vector<Point> points;
    for (size_t i = 2; i < w.size(); i += 2) {
      points.push_back(Point{X(w[i]), Y(w[i + 1])});
    }
    if (name == "polyline") {
      for (size_t i = 0; i + 1 < points.size(); ++i) {
        canvas.Line(points[i].x, points[i].y, points[i + 1].x, points[i + 1].y,
                    c);
      }
    } else {
      canvas.Polygon(points, c, name == "fillpolygon");
    }
  }

  void GradientCommand(const std::vector<Token>& w, Canvas& canvas) {
    const char* usage =
        "gradient X Y WIDTH HEIGHT RAMP down|up|right|left [over COLOUR] "
        "[dither]";
    if (w.size() < 7) {
      Fail("'gradient' takes at least 6 arguments (" + std::string(usage) + ")");
    }
    const int x = X(w[1]);
    const int y = Y(w[2]);
    const int width = Size(w[3], "WIDTH");
    const int height = Size(w[4], "HEIGHT");
    const auto ramp = ramps_.find(w[5].text);
    if (w[5].quoted || ramp == ramps_.end()) Fail("unknown ramp " + Quote(w[5].text));
    const std::string& dir = w[6].text;
    if (dir != "down" && dir != "up" && dir != "right" && dir != "left") {
      Fail("the direction must be down, up, right or left, not " + Quote(dir));
    }
    std::optional<Pixel> over;
    bool dither = false;
    for (size_t i = 7; i < w.size(); ++i) {
      if (w[i].text == "over" && !w[i].quoted && i + 1 < w.size() && !over) {
        over = Colour(w[++i]);
      } else if (w[i].text == "dither" && !w[i].quoted && !dither) {
        dither = true;
      } else {
        Fail("unexpected " + Quote(w[i].text) + " (" + usage + ")");
      }
    }
    const std::vector<Pixel>& entries = ramp->second;
    const bool vertical = dir == "down" || dir == "up";
    const int length = vertical ? height : width;
    const int n = static_cast<int>(entries.size());
    for (int py = std::max(y, 0); py < std::min(y + height, canvas.Height()); ++py) {
      for (int px = std::max(x, 0); px < std::min(x + width, canvas.Width()); ++px) {
        if (over && canvas.At(px, py) != *over) continue;
        int k = vertical ? py - y : px - x;
        if (dir == "up" || dir == "left") k = length - 1 - k;
        const double pos = length > 1 ? static_cast<double>(k) * (n - 1) / (length - 1) : 0.0;
        int index;
        if (dither) {
          const int base = static_cast<int>(pos);
          const double threshold = (kBayer4[py & 3][px & 3] + 0.5) / 16.0;
          index = base + ((pos - base) > threshold ? 1 : 0);
        } else {
          index = static_cast<int>(std::lround(pos));
        }
        index = std::clamp(index, 0, n - 1);
        canvas.Plot(px, py, entries[static_cast<size_t>(index)]);
      }
    }
  }

  void TextCommand(const std::vector<Token>& w, Canvas& canvas) {
    const char* usage =
        "text X Y COLOUR \"TEXT\" [scale N] [smooth] [bold] [center|right] "
        "[spacing N]";
    if (w.size() < 5 || !w[4].quoted) {
      Fail("'text' needs a position, a colour and a quoted text (" +
           std::string(usage) + ")");
    }
    int x = X(w[1]);
    const int y = Y(w[2]);
    const Pixel c = Colour(w[3]);
    const std::string& text = w[4].text;
    if (text.size() > static_cast<size_t>(kMaxTextLength)) {
      Fail("the text is longer than " + std::to_string(kMaxTextLength) +
           " characters");
    }
    int scale = 1;
    int spacing = 1;
    bool smooth = false;
    bool bold = false;
    std::string align = "left";
    for (size_t i = 5; i < w.size(); ++i) {
      const std::string& o = w[i].text;
      if (w[i].quoted) Fail("only one quoted text per 'text'");
      if (o == "scale" && i + 1 < w.size()) {
        scale = ParseInt(w[++i], 1, kMaxTextScale, "scale");
      } else if (o == "spacing" && i + 1 < w.size()) {
        spacing = ParseInt(w[++i], 0, 16, "spacing");
      } else if (o == "smooth") {
        smooth = true;
      } else if (o == "bold") {
        bold = true;
      } else if (o == "center" || o == "right") {
        align = o;
      } else {
        Fail("unexpected " + Quote(o) + " (" + usage + ")");
      }
    }
    if (smooth && scale != 2 && scale != 4) {
      Fail("'smooth' needs scale 2 or 4");
    }
    std::vector<const Glyph*> glyphs;
    int width = 0;
    for (char ch : text) {
      const Glyph* g = FindGlyph(ch);
      if (!g) Fail(std::string("the font has no '") + ch + "'");
      if (!glyphs.empty()) width += spacing;
      width += GlyphWidth(*g) + (bold ? 1 : 0);
      glyphs.push_back(g);
    }
    Mask mask;
    mask.width = width;
    mask.height = kFontRows;
    mask.bits.assign(static_cast<size_t>(std::max(width, 0)) * kFontRows, 0);
    int left = 0;
    for (const Glyph* g : glyphs) {
      const int gw = GlyphWidth(*g);
      for (int row = 0; row < kFontRows; ++row) {
        for (int col = 0; col < gw; ++col) {
          if (!GlyphInk(*g, col, row)) continue;
          mask.bits[static_cast<size_t>(row) * width + left + col] = 1;
          if (bold) mask.bits[static_cast<size_t>(row) * width + left + col + 1] = 1;
        }
      }
      left += gw + (bold ? 1 : 0) + spacing;
    }
    if (smooth) {
      mask = Scale2x(mask);
      if (scale == 4) mask = Scale2x(mask);
    } else if (scale > 1) {
      mask = ScaleBlocky(mask, scale);
    }
    if (align == "center") x -= mask.width / 2;
    if (align == "right") x -= mask.width - 1;
    canvas.Stamp(mask, x, y, c);
  }

  // ---- arguments ----

  void Args(const std::vector<Token>& w, size_t count, const char* usage) {
    if (w.size() - 1 != count) {
      Fail(Quote(w[0].text) + " takes " + std::to_string(count) +
           (count == 1 ? " argument" : " arguments") + " (" + usage +
           "), not " + std::to_string(w.size() - 1));
    }
  }

  int Coord(const Token& t, const char* what) {
    return ParseInt(t, -kMaxCoordinate, kMaxCoordinate, what);
  }
  int X(const Token& t) { return Coord(t, "X") + originX_; }
  int Y(const Token& t) { return Coord(t, "Y") + originY_; }
  int Size(const Token& t, const char* what) {
    return ParseInt(t, 0, kMaxCoordinate, what);
  }

  Artwork* art_;
  int line_ = 0;
  bool started_ = false;
  bool paletteDone_ = false;
  Block block_ = Block::kNone;
  int blockLine_ = 0;
  std::string blockName_;
  std::map<std::string, Pixel> names_;
  std::map<std::string, int> nameLines_;
  std::map<std::string, std::vector<Pixel>> ramps_;
  std::map<std::string, int> rampLines_;
  std::map<char, std::optional<Pixel>> legend_;
  int originX_ = 0;
  int originY_ = 0;
  int pixmapX_ = 0;
  int pixmapY_ = 0;
  int pixmapRow_ = 0;
};

}  // namespace

bool CompileArtwork(const std::string& text, const std::string& fileName,
                    Artwork* art, std::string* error) {
  *art = Artwork();
  Compiler compiler(art);
  try {
    compiler.Run(text);
  } catch (const SourceError& e) {
    *error = fileName + ":" + std::to_string(compiler.LineNumber()) + ": " +
             e.message;
    *art = Artwork();
    return false;
  }
  return true;
}

const Rgb* VgaColours() { return kVga; }
const char* VgaColourName(int index) {
  return index >= 0 && index < 16 ? kVgaNames[index] : nullptr;
}

}  // namespace artgen
