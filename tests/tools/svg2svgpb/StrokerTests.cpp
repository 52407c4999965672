#include <gtest/gtest.h>

#include <cmath>

#include "PathDataParser.h"
#include "Stroker.h"

using namespace svgconvert;

namespace {

// Whether the outline, filled with the non-zero rule, covers the point.
bool covers(const PathGeometry& outline, Point p) {
  int winding = 0;
  for (const auto& line : outline.flattened(0.001)) {
    size_t n = line.points.size();
    for (size_t i = 0; i < n; ++i) {
      Point a = line.points[i], b = line.points[(i + 1) % n];
      if (a.y <= p.y && b.y > p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) > 0)
        ++winding;
      if (a.y > p.y && b.y <= p.y && (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y) < 0)
        --winding;
    }
  }
  return winding != 0;
}

PathGeometry outlineOf(const char* d, double width, LineCap cap, LineJoin join,
                       double miterLimit = 4) {
  return Stroker::outline(PathDataParser::parse(d), {width, cap, join, miterLimit}, 0.01);
}

}  // namespace

TEST(Stroker, ButtCapsEndAtTheEndsSquareAndRoundOnesReachBeyond) {
  PathGeometry outline = outlineOf("M0 0 L100 0", 10, LineCap::Butt, LineJoin::Miter);
  auto bounds = outline.bounds();
  ASSERT_TRUE(bounds);
  EXPECT_NEAR(bounds->minX(), 0, 1e-9);
  EXPECT_NEAR(bounds->maxX(), 100, 1e-9);
  EXPECT_NEAR(bounds->minY(), -5, 1e-9);
  EXPECT_NEAR(bounds->maxY(), 5, 1e-9);
  EXPECT_TRUE(covers(outline, {50, 4.9}));
  EXPECT_TRUE(covers(outline, {0.1, -4.9}));
  EXPECT_FALSE(covers(outline, {50, 5.1}));
  EXPECT_FALSE(covers(outline, {-0.1, 0}));
  PathGeometry square = outlineOf("M0 0 L100 0", 10, LineCap::Square, LineJoin::Miter);
  EXPECT_NEAR(square.bounds()->minX(), -5, 1e-9);
  EXPECT_NEAR(square.bounds()->maxX(), 105, 1e-9);
  EXPECT_TRUE(covers(square, {-4.9, 4.9}));
  EXPECT_TRUE(covers(square, {104.9, -4.9}));
  PathGeometry round = outlineOf("M0 0 L100 0", 10, LineCap::Round, LineJoin::Miter);
  EXPECT_NEAR(round.bounds()->minX(), -5, 1e-3);
  EXPECT_TRUE(covers(round, {-4.9, 0}));
  EXPECT_TRUE(covers(round, {103, 3}));  // 4.24 from the end
  EXPECT_FALSE(covers(round, {-4, 4}));  // 5.66 from the start
  EXPECT_FALSE(covers(round, {104, -4}));
}

TEST(Stroker, JoinsAndTheMiterLimit) {
  const char* corner = "M0 0 L100 0 L100 100";
  PathGeometry miter = outlineOf(corner, 10, LineCap::Butt, LineJoin::Miter);
  EXPECT_TRUE(covers(miter, {104.9, -4.9}));  // the miter fills the outer corner
  PathGeometry bevel = outlineOf(corner, 10, LineCap::Butt, LineJoin::Bevel);
  EXPECT_TRUE(covers(bevel, {102, -2}));
  EXPECT_FALSE(covers(bevel, {104, -4}));  // beyond the bevel's line
  PathGeometry round = outlineOf(corner, 10, LineCap::Butt, LineJoin::Round);
  EXPECT_TRUE(covers(round, {103.4, -3.4}));  // 4.8 from the corner
  EXPECT_FALSE(covers(round, {104, -4}));     // 5.7 from it
  // The inside of the corner and both legs are covered once the pieces are united.
  for (const PathGeometry* outline : {&miter, &bevel, &round}) {
    EXPECT_TRUE(covers(*outline, {96, 4}));
    EXPECT_TRUE(covers(*outline, {50, 0}));
    EXPECT_TRUE(covers(*outline, {100, 50}));
    EXPECT_FALSE(covers(*outline, {90, 10}));
  }
  // A 20-degree spike: miter ratio 1 / sin(10 degrees) = 5.76; a limit of 4 bevels it.
  double t = std::tan(20 * M_PI / 180);
  std::string d = "M0 0 L100 0 L0 " + std::to_string(100 * t);
  // The tip reaches 5.76 past the corner.
  EXPECT_GT(outlineOf(d.c_str(), 2, LineCap::Butt, LineJoin::Miter, 10).bounds()->maxX(), 105);
  EXPECT_LT(outlineOf(d.c_str(), 2, LineCap::Butt, LineJoin::Miter, 4).bounds()->maxX(), 101.1);
}

TEST(Stroker, ClosedSubpathsAreRingsAndCurvesAreOffsetByHalfTheWidth) {
  PathGeometry ring = outlineOf("M0 0 H100 V100 H0 Z", 10, LineCap::Round, LineJoin::Miter);
  EXPECT_FALSE(covers(ring, {50, 50}));
  EXPECT_TRUE(covers(ring, {50, 4}));
  EXPECT_TRUE(covers(ring, {50, -4}));
  EXPECT_TRUE(covers(ring, {-4.9, -4.9}));  // every corner is joined, the start too
  EXPECT_FALSE(covers(ring, {-6, 50}));
  // A small circle under a wide stroke is covered through its centre.
  PathGeometry disk =
      outlineOf("M2 0 A2 2 0 1 1 -2 0 A2 2 0 1 1 2 0 Z", 10, LineCap::Butt, LineJoin::Round);
  EXPECT_TRUE(covers(disk, {0, 0}));
  EXPECT_TRUE(covers(disk, {6.9, 0}));
  EXPECT_FALSE(covers(disk, {7.1, 0}));
  PathGeometry arc = outlineOf("M0 50 A50 50 0 0 1 100 50", 10, LineCap::Butt, LineJoin::Miter);
  for (double angle = 0.1; angle < M_PI - 0.1; angle += 0.2) {
    double c = std::cos(angle), s = -std::sin(angle);
    EXPECT_TRUE(covers(arc, {50 - 54.9 * c, 50 + 54.9 * s}));
    EXPECT_TRUE(covers(arc, {50 - 45.1 * c, 50 + 45.1 * s}));
    EXPECT_FALSE(covers(arc, {50 - 55.1 * c, 50 + 55.1 * s}));
    EXPECT_FALSE(covers(arc, {50 - 44.9 * c, 50 + 44.9 * s}));
  }
}

TEST(Stroker, DotsForZeroLengthSubpaths) {
  PathGeometry round = outlineOf("M10 10 L10 10", 4, LineCap::Round, LineJoin::Miter);
  EXPECT_TRUE(covers(round, {11.9, 10}));
  EXPECT_FALSE(covers(round, {11.5, 11.5}));
  PathGeometry square = outlineOf("M10 10 L10 10", 4, LineCap::Square, LineJoin::Miter);
  EXPECT_TRUE(covers(square, {11.9, 11.9}));
  EXPECT_TRUE(outlineOf("M10 10 L10 10", 4, LineCap::Butt, LineJoin::Miter).isEmpty());
}

TEST(Stroker, ButtMiterMatchDependsOnCornersBetweenTheLimits) {
  PathGeometry square = PathDataParser::parse("M0 0 H10 V10 Z");
  EXPECT_TRUE(Stroker::matchesButtMiter(square, {3, LineCap::Butt, LineJoin::Miter, 4}, 10));
  EXPECT_FALSE(Stroker::matchesButtMiter(square, {3, LineCap::Round, LineJoin::Miter, 4}, 10));
  EXPECT_FALSE(Stroker::matchesButtMiter(square, {3, LineCap::Butt, LineJoin::Bevel, 4}, 10));
  double t = std::tan(20 * M_PI / 180);
  PathGeometry spike = PathDataParser::parse("M0 0 L100 0 L0 " + std::to_string(100 * t));
  EXPECT_FALSE(Stroker::matchesButtMiter(spike, {1, LineCap::Butt, LineJoin::Miter, 4}, 10));
  EXPECT_TRUE(Stroker::matchesButtMiter(spike, {1, LineCap::Butt, LineJoin::Miter, 10}, 10));
  EXPECT_TRUE(Stroker::matchesButtMiter(spike, {1, LineCap::Butt, LineJoin::Miter, 6}, 10));
}

TEST(Stroker, RoundPiecesCutAtCorners) {
  auto pieces = Stroker::roundPieces(PathDataParser::parse("M0 0 L10 0 L10 10"), true);
  EXPECT_EQ(pieces.spine.subpathCount(), 2);
  ASSERT_EQ(pieces.dots.size(), 3u);  // the corner and both ends
  EXPECT_EQ(pieces.dots[0], (Point{10, 0}));
  // A smooth closed curve stays whole, with nothing to add.
  auto circle =
      Stroker::roundPieces(PathDataParser::parse("M2 0 A2 2 0 1 1 -2 0 A2 2 0 1 1 2 0 Z"), true);
  EXPECT_EQ(circle.spine.subpathCount(), 1);
  EXPECT_TRUE(circle.dots.empty());
  EXPECT_EQ(circle.spine.segments().back().verb, PathGeometry::Verb::Close);
}
