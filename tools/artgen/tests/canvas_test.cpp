// The drawing primitives.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "canvas.h"

namespace {

using artgen::Canvas;
using artgen::Pixel;
using artgen::Point;

constexpr Pixel kPaper = 0;
constexpr Pixel kInk = 1;
constexpr Pixel kMark = 2;

int Count(const Canvas& c, Pixel p) {
  int n = 0;
  for (Pixel q : c.Pixels()) n += q == p ? 1 : 0;
  return n;
}

struct Box {
  int x, y, w, h;
  friend void PrintTo(const Box& b, std::ostream* os) {
    *os << b.x << "," << b.y << " " << b.w << "x" << b.h;
  }
};

class EllipseOutline : public testing::TestWithParam<Box> {};

// The backdrop fills side-on, so an outline must wall its inside in even
// where it runs diagonally.
TEST_P(EllipseOutline, IsClosedAgainstASideOnFill) {
  const Box b = GetParam();
  Canvas filled(40, 40, kPaper);
  filled.Ellipse(b.x, b.y, b.w, b.h, kInk, true);
  Canvas outline(40, 40, kPaper);
  outline.Ellipse(b.x, b.y, b.w, b.h, kInk, false);
  outline.FloodFill(0, 0, kMark);
  int inside = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const bool inFilled = filled.At(x, y) == kInk;
      // The outline lies within the filled shape...
      if (outline.At(x, y) == kInk) EXPECT_TRUE(inFilled) << x << "," << y;
      if (inFilled && outline.At(x, y) != kInk) {
        // ...and the fill from outside never gets past it.
        EXPECT_EQ(outline.At(x, y), kPaper) << x << "," << y;
        ++inside;
      }
      if (!inFilled) EXPECT_EQ(outline.At(x, y), kMark) << x << "," << y;
    }
  }
  if (b.w >= 5 && b.h >= 5) EXPECT_GT(inside, 0);
}

INSTANTIATE_TEST_SUITE_P(Boxes, EllipseOutline,
                         testing::Values(Box{5, 5, 30, 30}, Box{5, 5, 31, 17},
                                         Box{10, 2, 6, 35}, Box{3, 3, 5, 5},
                                         Box{8, 8, 2, 3}, Box{1, 1, 38, 38}));

TEST(Ellipse, FilledCircleIsSymmetricAndSpansItsBox) {
  Canvas c(21, 21, kPaper);
  c.Ellipse(2, 3, 17, 15, kInk, true);
  for (int y = 0; y < 21; ++y) {
    for (int x = 0; x < 21; ++x) {
      EXPECT_EQ(c.At(x, y), c.At(20 - x, y)) << x << "," << y;  // centre x 10
    }
  }
  EXPECT_EQ(c.At(2, 10), kInk);
  EXPECT_EQ(c.At(18, 10), kInk);
  EXPECT_EQ(c.At(1, 10), kPaper);
  EXPECT_EQ(c.At(19, 10), kPaper);
  EXPECT_EQ(c.At(10, 3), kInk);
  EXPECT_EQ(c.At(10, 17), kInk);
  EXPECT_EQ(c.At(10, 2), kPaper);
  EXPECT_EQ(c.At(10, 18), kPaper);
}

struct Segment {
  int x0, y0, x1, y1;
  friend void PrintTo(const Segment& s, std::ostream* os) {
    *os << s.x0 << "," << s.y0 << " to " << s.x1 << "," << s.y1;
  }
};

class Lines : public testing::TestWithParam<Segment> {};

TEST_P(Lines, RunFromEndToEndWithoutGaps) {
  const Segment s = GetParam();
  Canvas c(30, 30, kPaper);
  c.Line(s.x0, s.y0, s.x1, s.y1, kInk);
  EXPECT_EQ(c.At(s.x0, s.y0), kInk);
  EXPECT_EQ(c.At(s.x1, s.y1), kInk);
  const int expected = std::max(std::abs(s.x1 - s.x0), std::abs(s.y1 - s.y0)) + 1;
  EXPECT_EQ(Count(c, kInk), expected);
  // Every pixel but the ends has exactly two inked neighbours.
  for (int y = 0; y < 30; ++y) {
    for (int x = 0; x < 30; ++x) {
      if (c.At(x, y) != kInk || (x == s.x0 && y == s.y0) || (x == s.x1 && y == s.y1)) continue;
      int neighbours = 0;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          if ((dx || dy) && c.Contains(x + dx, y + dy) && c.At(x + dx, y + dy) == kInk) {
            ++neighbours;
          }
        }
      }
      EXPECT_GE(neighbours, 2) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Segments, Lines,
                         testing::Values(Segment{2, 2, 27, 2}, Segment{3, 25, 3, 1},
                                         Segment{0, 0, 29, 29}, Segment{28, 3, 1, 17},
                                         Segment{5, 5, 9, 27}, Segment{7, 7, 7, 7}));

TEST(Polygon, FilledRectangleCoversItsCornersExactly) {
  Canvas a(12, 12, kPaper);
  a.Polygon({{2, 3}, {9, 3}, {9, 8}, {2, 8}}, kInk, true);
  Canvas b(12, 12, kPaper);
  b.FillRect(2, 3, 8, 6, kInk);
  EXPECT_EQ(a.Pixels(), b.Pixels());
}

TEST(Polygon, EvenOddRuleLeavesTheHoleOfAStar) {
  Canvas c(41, 41, kPaper);
  // A five-pointed star drawn in one stroke; its centre is covered twice.
  c.Polygon({{20, 0}, {32, 38}, {0, 14}, {40, 14}, {8, 38}}, kInk, true);
  EXPECT_EQ(c.At(20, 22), kPaper);
  EXPECT_EQ(c.At(20, 5), kInk);   // a point
  EXPECT_EQ(c.At(20, 0), kInk);   // its vertex
  EXPECT_EQ(c.At(32, 38), kInk);
  EXPECT_EQ(c.At(0, 0), kPaper);
}

TEST(FloodFill, SpreadsSideOnOnlyAndReplacesOneColour) {
  Canvas c(6, 6, kPaper);
  // A diagonal wall: side-on it is closed, corner-wise it is not.
  for (int i = 0; i < 6; ++i) c.Plot(i, 5 - i, kInk);
  c.Plot(0, 0, kMark);
  c.FloodFill(1, 1, kMark);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      if (x + y < 5) EXPECT_EQ(c.At(x, y), kMark) << x << "," << y;
      if (x + y == 5) EXPECT_EQ(c.At(x, y), kInk) << x << "," << y;
      if (x + y > 5) EXPECT_EQ(c.At(x, y), kPaper) << x << "," << y;
    }
  }
  const std::vector<Pixel> before = c.Pixels();
  c.FloodFill(5, 5, kPaper);  // already that colour
  EXPECT_EQ(c.Pixels(), before);
  c.FloodFill(-1, 3, kInk);  // outside
  EXPECT_EQ(c.Pixels(), before);
}

TEST(Clipping, DrawingPastTheEdgesPaintsOnlyWhatIsInside) {
  Canvas c(10, 10, kPaper);
  c.FillRect(-5, -5, 8, 8, kInk);
  EXPECT_EQ(Count(c, kInk), 9);
  c.Line(-100, 50, 100, 50, kMark);
  c.Ellipse(-9000, -9000, 20000, 20000, kMark, false);
  c.Polygon({{-50, -50}, {60, -50}, {5, -1}}, kMark, true);
  EXPECT_EQ(Count(c, kMark), 0);
  c.Line(-100, 5, 100, 5, kMark);
  EXPECT_EQ(Count(c, kMark), 10);
  c.FrameRect(-1, -1, 12, 12, kInk);  // entirely outside the picture
  EXPECT_EQ(Count(c, kMark), 10);
}

}  // namespace
