// Compiling an artwork source into images, and encoding the images as a
// Windows bitmap or icon file.
#ifndef ARTGEN_ARTWORK_H
#define ARTGEN_ARTWORK_H

#include <cstdint>
#include <string>
#include <vector>

#include "canvas.h"

namespace artgen {

struct Rgb {
  uint8_t r;
  uint8_t g;
  uint8_t b;
};

enum class ArtKind { kBitmap, kIcon };

struct ArtImage {
  int bpp;
  Canvas canvas;
};

struct Artwork {
  ArtKind kind = ArtKind::kBitmap;
  std::vector<Rgb> palette;  // at most 1 << bpp entries; the rest are black
  std::vector<ArtImage> images;
};

// Limits of what a source may ask for.
constexpr int kMaxBitmapSide = 1024;
constexpr int kMaxIconSide = 256;
constexpr int kMaxIconImages = 8;
constexpr int kMaxCoordinate = 10000;
constexpr int kMaxLineLength = 4096;
constexpr int kMaxPolygonPoints = 256;
constexpr int kMaxTextLength = 200;
constexpr int kMaxTextScale = 8;

// Runs the source text. On failure returns false and sets error to
// "<file name>:<line>: <what is wrong>".
bool CompileArtwork(const std::string& text, const std::string& fileName,
                    Artwork* art, std::string* error);

// The complete file: a .bmp (14-byte file header, then the packed DIB) for
// a bitmap, an .ico for an icon.
std::vector<uint8_t> EncodeArtwork(const Artwork& art);

// The 16 colours of the standard VGA palette, in Windows order.
const Rgb* VgaColours();
const char* VgaColourName(int index);

}  // namespace artgen

#endif
