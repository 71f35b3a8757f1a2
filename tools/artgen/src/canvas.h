// A palette-indexed drawing surface with the primitives of the source
// language. Coordinates grow right and down from the top-left pixel; all
// drawing is clipped to the surface.
#ifndef ARTGEN_CANVAS_H
#define ARTGEN_CANVAS_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace artgen {

// A pixel value: a palette index 0..255, or kClear (transparent, icons only).
using Pixel = int16_t;
constexpr Pixel kClear = -1;

struct Point {
  int x;
  int y;
};

// A one-bit picture, used for text before it is stamped in a colour.
struct Mask {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> bits;  // row-major, 0 or 1

  bool At(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height &&
           bits[static_cast<size_t>(y) * width + x] != 0;
  }
};

class Canvas {
 public:
  Canvas(int width, int height, Pixel initial);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Contains(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_;
  }
  // The pixel at (x, y); the caller keeps (x, y) inside.
  Pixel At(int x, int y) const {
    return pixels_[static_cast<size_t>(y) * width_ + x];
  }
  const std::vector<Pixel>& Pixels() const { return pixels_; }

  void Plot(int x, int y, Pixel c);
  void Fill(Pixel c);
  void FillRect(int x, int y, int w, int h, Pixel c);
  void FrameRect(int x, int y, int w, int h, Pixel c);
  // Both end points are drawn.
  void Line(int x0, int y0, int x1, int y1, Pixel c);
  // The ellipse inscribed in the box (x, y, w, h): a pixel belongs to it when
  // its centre lies inside. The outline is the ring of those pixels that
  // touch an outside pixel side-on, so it is closed against a side-on fill.
  void Ellipse(int x, int y, int w, int h, Pixel c, bool filled);
  // Vertices name pixels; the outline joins them and closes the figure. The
  // filled form paints every pixel whose centre is inside (even-odd rule)
  // plus the outline.
  void Polygon(const std::vector<Point>& points, Pixel c, bool filled);
  // Recolours the side-on (4-connected) region of the colour found at (x, y).
  void FloodFill(int x, int y, Pixel c);
  // Paints c wherever the mask has ink, with the mask's top-left at (x, y).
  void Stamp(const Mask& mask, int x, int y, Pixel c);

 private:
  int width_;
  int height_;
  std::vector<Pixel> pixels_;
};

}  // namespace artgen

#endif
