#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace artgen {

Canvas::Canvas(int width, int height, Pixel initial)
    : width_(width),
      height_(height),
      pixels_(static_cast<size_t>(width) * height, initial) {}

void Canvas::Plot(int x, int y, Pixel c) {
  if (Contains(x, y)) pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::Fill(Pixel c) { std::fill(pixels_.begin(), pixels_.end(), c); }

void Canvas::FillRect(int x, int y, int w, int h, Pixel c) {
  const int x0 = std::max(x, 0);
  const int y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_);
  const int y1 = std::min(y + h, height_);
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) Plot(px, py, c);
  }
}

void Canvas::FrameRect(int x, int y, int w, int h, Pixel c) {
  if (w <= 0 || h <= 0) return;
  Line(x, y, x + w - 1, y, c);
  Line(x, y + h - 1, x + w - 1, y + h - 1, c);
  Line(x, y, x, y + h - 1, c);
  Line(x + w - 1, y, x + w - 1, y + h - 1, c);
}

void Canvas::Line(int x0, int y0, int x1, int y1, Pixel c) {
  const int dx = std::abs(x1 - x0);
  const int dy = -std::abs(y1 - y0);
  const int sx = x0 < x1 ? 1 : -1;
  const int sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Plot(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

namespace {

// Whether pixel (px, py) has its centre inside the ellipse inscribed in the
// box (x, y, w, h). Worked in doubled coordinates so it stays exact:
// ((2px+1 - (2x+w)) / w)^2 + ((2py+1 - (2y+h)) / h)^2 <= 1.
bool InsideEllipse(int x, int y, int w, int h, int px, int py) {
  const int64_t X = 2 * static_cast<int64_t>(px) + 1 - (2 * static_cast<int64_t>(x) + w);
  const int64_t Y = 2 * static_cast<int64_t>(py) + 1 - (2 * static_cast<int64_t>(y) + h);
  const int64_t W = w;
  const int64_t H = h;
  return X * X * H * H + Y * Y * W * W <= W * W * H * H;
}

}  // namespace

void Canvas::Ellipse(int x, int y, int w, int h, Pixel c, bool filled) {
  if (w <= 0 || h <= 0) return;
  const int x0 = std::max(x, 0);
  const int y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_);
  const int y1 = std::min(y + h, height_);
  for (int py = y0; py < y1; ++py) {
    for (int px = x0; px < x1; ++px) {
      if (!InsideEllipse(x, y, w, h, px, py)) continue;
      const bool edge = !InsideEllipse(x, y, w, h, px - 1, py) ||
                        !InsideEllipse(x, y, w, h, px + 1, py) ||
                        !InsideEllipse(x, y, w, h, px, py - 1) ||
                        !InsideEllipse(x, y, w, h, px, py + 1);
      if (filled || edge) Plot(px, py, c);
    }
  }
}

void Canvas::Polygon(const std::vector<Point>& points, Pixel c, bool filled) {
  const size_t n = points.size();
  if (n == 0) return;
  if (filled && n >= 3) {
    int top = points[0].y;
    int bottom = points[0].y;
    for (const Point& p : points) {
      top = std::min(top, p.y);
      bottom = std::max(bottom, p.y);
    }
    top = std::max(top, 0);
    bottom = std::min(bottom, height_ - 1);
    std::vector<double> crossings;
    for (int py = top; py <= bottom; ++py) {
      // Vertices and samples both sit at pixel centres, so a row's sample
      // line is y = py exactly; the half-open rule counts a vertex once.
      crossings.clear();
      for (size_t i = 0; i < n; ++i) {
        const Point& a = points[i];
        const Point& b = points[(i + 1) % n];
        if (a.y == b.y) continue;
        const bool spans = (a.y <= py && py < b.y) || (b.y <= py && py < a.y);
        if (!spans) continue;
        crossings.push_back(a.x + static_cast<double>(py - a.y) * (b.x - a.x) /
                                      (b.y - a.y));
      }
      std::sort(crossings.begin(), crossings.end());
      for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
        const int from = std::max(0, static_cast<int>(std::ceil(crossings[i])));
        const int to = std::min(width_ - 1,
                                static_cast<int>(std::floor(crossings[i + 1])));
        for (int px = from; px <= to; ++px) Plot(px, py, c);
      }
    }
  }
  for (size_t i = 0; i < n; ++i) {
    const Point& a = points[i];
    const Point& b = points[(i + 1) % n];
    Line(a.x, a.y, b.x, b.y, c);
  }
}

void Canvas::FloodFill(int x, int y, Pixel c) {
  if (!Contains(x, y)) return;
  const Pixel target = At(x, y);
  if (target == c) return;
  std::vector<int> stack;
  stack.push_back(y * width_ + x);
  pixels_[static_cast<size_t>(y) * width_ + x] = c;
  while (!stack.empty()) {
    const int at = stack.back();
    stack.pop_back();
    const int px = at % width_;
    const int py = at / width_;
    const int next[4][2] = {{px - 1, py}, {px + 1, py}, {px, py - 1}, {px, py + 1}};
    for (const auto& q : next) {
      if (!Contains(q[0], q[1])) continue;
      Pixel& p = pixels_[static_cast<size_t>(q[1]) * width_ + q[0]];
      if (p != target) continue;
      p = c;
      stack.push_back(q[1] * width_ + q[0]);
    }
  }
}

void Canvas::Stamp(const Mask& mask, int x, int y, Pixel c) {
  for (int my = 0; my < mask.height; ++my) {
    for (int mx = 0; mx < mask.width; ++mx) {
      if (mask.At(mx, my)) Plot(x + mx, y + my, c);
    }
  }
}

}  // namespace artgen
