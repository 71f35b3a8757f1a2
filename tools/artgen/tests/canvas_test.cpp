// The drawing primitives.
#include <gtest/gtest.h>

#include <algorithm>

#include "canvas.h"

namespace {

using artgen::Canvas;

int Count(const Canvas& c, artgen::Pixel p) {
  return static_cast<int>(std::count(c.Pixels().begin(), c.Pixels().end(), p));
}

// The backdrop floods side-on from outside, so an outline must wall in all
// of its filled shape even where it runs diagonally.
TEST(Ellipse, OutlineIsClosedAgainstASideOnFill) {
  const int boxes[][4] = {{5, 5, 30, 30}, {5, 5, 31, 17}, {10, 2, 6, 35}, {3, 3, 5, 5}, {8, 8, 2, 3}};
  for (const auto& b : boxes) {
    SCOPED_TRACE(testing::Message() << b[0] << "," << b[1] << " " << b[2] << "x" << b[3]);
    Canvas filled(40, 40, 0);
    filled.Ellipse(b[0], b[1], b[2], b[3], 1, true);
    Canvas outline(40, 40, 0);
    outline.Ellipse(b[0], b[1], b[2], b[3], 1, false);
    outline.FloodFill(0, 0, 2);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(outline.At(x, y) == 2, filled.At(x, y) == 0) << x << "," << y;
      }
    }
  }
}

TEST(FloodFill, SpreadsSideOnOnlyAndReplacesOneColour) {
  Canvas c(6, 6, 0);
  for (int i = 0; i < 6; ++i) c.Plot(i, 5 - i, 1);  // closed side-on, open corner-wise
  c.Plot(0, 0, 2);
  c.FloodFill(1, 1, 2);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(c.At(x, y), x + y < 5 ? 2 : x + y == 5 ? 1 : 0);
  }
  c.FloodFill(-1, 3, 1);  // outside
  EXPECT_EQ(Count(c, 1), 6);
}

TEST(Clipping, DrawingPastTheEdgesPaintsOnlyWhatIsInside) {
  Canvas c(10, 10, 0);
  c.FillRect(-5, -5, 8, 8, 1);
  EXPECT_EQ(Count(c, 1), 9);
  c.Ellipse(-9000, -9000, 20000, 20000, 2, false);
  c.Polygon({{-50, -50}, {60, -50}, {5, -1}}, 2, true);
  c.FrameRect(-1, -1, 12, 12, 2);
  c.Line(-100, 5, 100, 5, 2);
  EXPECT_EQ(Count(c, 2), 10);
}

}  // namespace
