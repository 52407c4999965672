#include <gtest/gtest.h>

#include <cmath>

#include "PathDataParser.h"

using namespace svgconvert;
using Verb = PathGeometry::Verb;

namespace {

void expectPoint(const Point& p, double x, double y) {
  EXPECT_NEAR(p.x, x, 1e-9);
  EXPECT_NEAR(p.y, y, 1e-9);
}

Point cubicAt(Point p0, const PathGeometry::Segment& s, double t) {
  double u = 1 - t;
  const Point &p1 = s.points[0], &p2 = s.points[1], &p3 = s.points[2];
  return {u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x,
          u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y};
}

}  // namespace

TEST(PathDataParser, AbsoluteAndRelativeLinesAndCurves) {
  bool complete = false;
  PathGeometry path = PathDataParser::parse(
      "M10 20 L30 40 l5 5 H0 h3 V7 v-2 C1 2 3 4 5 6 c1 1 2 2 3 3 Z", &complete);
  ASSERT_TRUE(complete);
  const auto& s = path.segments();
  ASSERT_EQ(s.size(), 10u);
  EXPECT_EQ(s[0].verb, Verb::Move);
  const double ends[][2] = {{10, 20}, {30, 40}, {35, 45}, {0, 45}, {3, 45}, {3, 7}, {3, 5}};
  for (int i = 0; i < 7; ++i) expectPoint(s[i].points[0], ends[i][0], ends[i][1]);
  EXPECT_EQ(s[7].verb, Verb::Cubic);
  expectPoint(s[7].points[2], 5, 6);
  expectPoint(s[8].points[0], 6, 7);
  expectPoint(s[8].points[1], 7, 8);
  expectPoint(s[8].points[2], 8, 9);
  EXPECT_EQ(s[9].verb, Verb::Close);
  expectPoint(path.currentPoint(), 10, 20);
}

TEST(PathDataParser, ImplicitRepeatsCompactNumbersAndDrawingAfterClose) {
  // Coordinates after a move are lines; drawing after Z starts at the subpath's start.
  PathGeometry path = PathDataParser::parse("M0 0 10 0 10 10 m 5 5 1 1 Z l1 1");
  const auto& s = path.segments();
  ASSERT_EQ(s.size(), 8u);
  EXPECT_EQ(s[1].verb, Verb::Line);
  expectPoint(s[2].points[0], 10, 10);
  EXPECT_EQ(s[3].verb, Verb::Move);
  expectPoint(s[3].points[0], 15, 15);
  EXPECT_EQ(s[4].verb, Verb::Line);
  expectPoint(s[4].points[0], 16, 16);
  EXPECT_EQ(s[6].verb, Verb::Move);
  expectPoint(s[6].points[0], 15, 15);
  expectPoint(s[7].points[0], 16, 16);

  PathGeometry compact = PathDataParser::parse("M1.5.5L-1-2l1e-3,2E+1 .5-.5");
  const auto& c = compact.segments();
  ASSERT_EQ(c.size(), 4u);
  expectPoint(c[0].points[0], 1.5, 0.5);
  expectPoint(c[1].points[0], -1, -2);
  expectPoint(c[2].points[0], -0.999, 18);
  expectPoint(c[3].points[0], -0.499, 17.5);
}

TEST(PathDataParser, SmoothCurvesAndQuadratics) {
  PathGeometry path = PathDataParser::parse("M0 0 C0 10 10 10 10 0 S20 -10 20 0");
  const auto& s = path.segments();
  ASSERT_EQ(s.size(), 3u);
  expectPoint(s[2].points[0], 10, -10);
  expectPoint(s[2].points[1], 20, -10);
  // Without a curve before it, S starts its control at the current point.
  PathGeometry alone = PathDataParser::parse("M5 5 s10 0 10 10");
  expectPoint(alone.segments()[1].points[0], 5, 5);
  // Quadratics become exact cubics.
  PathGeometry quadratic = PathDataParser::parse("M0 0 Q30 30 60 0 T120 0 q15 15 30 0 t30 0");
  const auto& q = quadratic.segments();
  ASSERT_EQ(q.size(), 5u);
  expectPoint(q[1].points[0], 20, 20);
  expectPoint(q[1].points[1], 40, 20);
  // T reflects the control (30, 30) about (60, 0).
  expectPoint(q[2].points[0], 80, -20);
  expectPoint(q[2].points[1], 100, -20);
  expectPoint(q[3].points[2], 150, 0);
  expectPoint(q[4].points[0], 160, -10);
  expectPoint(q[4].points[2], 180, 0);
}

TEST(PathDataParser, ArcsFollowTheEllipseAndCorrectTheirRadii) {
  PathGeometry path = PathDataParser::parse("M0 10 A10 10 0 0 1 20 10");
  const auto& s = path.segments();
  ASSERT_GE(s.size(), 3u);
  expectPoint(s.back().points[2], 20, 10);
  Point from{0, 10};
  for (size_t i = 1; i < s.size(); ++i) {
    ASSERT_EQ(s[i].verb, Verb::Cubic);
    for (double t : {0.25, 0.5, 0.75}) {
      Point p = cubicAt(from, s[i], t);
      EXPECT_NEAR(std::hypot(p.x - 10, p.y - 10), 10, 0.01);
      EXPECT_LE(p.y, 10 + 1e-9);  // sweep 1 from the left goes through the top (y down)
    }
    from = s[i].points[2];
  }
  // Flags packed as "10" and radii too small for the chord (scaled up to a half circle).
  PathGeometry packed = PathDataParser::parse("M0 0a1 1 0 1020 0");
  auto bounds = packed.bounds();
  ASSERT_TRUE(bounds);
  expectPoint(packed.currentPoint(), 20, 0);
  EXPECT_NEAR(bounds->size.width, 20, 1e-6);
  EXPECT_NEAR(bounds->size.height, 10, 0.01);
  // Sweep 0 from the left: through y = +10.
  EXPECT_NEAR(bounds->maxY(), 10, 0.01);
}

TEST(PathDataParser, ErrorsKeepThePathAndTheNumbersUpToThem) {
  bool complete = true;
  PathGeometry path = PathDataParser::parse("M0 0 L10 10 L20", &complete);
  EXPECT_FALSE(complete);
  EXPECT_EQ(path.segments().size(), 2u);
  PathDataParser::parse("L10 10", &complete);
  EXPECT_FALSE(complete);
  PathDataParser::parse("M0 0 X 5", &complete);
  EXPECT_FALSE(complete);
  EXPECT_TRUE(PathDataParser::parse("", &complete).isEmpty());
  EXPECT_TRUE(complete);
  std::vector<double> numbers;
  EXPECT_TRUE(PathDataParser::parseNumbers("1,2 3-4.5.5e1", numbers));
  EXPECT_EQ(numbers, (std::vector<double>{1, 2, 3, -4.5, 5}));
  numbers.clear();
  EXPECT_FALSE(PathDataParser::parseNumbers("1 2 x", numbers));
  EXPECT_EQ(numbers.size(), 2u);
}
