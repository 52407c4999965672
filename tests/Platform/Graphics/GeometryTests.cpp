#include <gtest/gtest.h>

#include <cmath>

#include "Graphics/AffineTransform.h"
#include "Graphics/Geometry.h"

using namespace platform;

namespace {

void expectNear(Point actual, Point expected) {
  EXPECT_NEAR(actual.x, expected.x, 1e-9);
  EXPECT_NEAR(actual.y, expected.y, 1e-9);
}

}  // namespace

TEST(GeometryTest, RectanglesStandardizeAndIntersect) {
  Rect turned(10, 20, -4, -6);
  EXPECT_EQ(turned.standardized(), Rect(6, 14, 4, 6));
  EXPECT_EQ(turned.minX(), 6);
  EXPECT_EQ(turned.maxY(), 20);
  EXPECT_EQ(Rect(0, 0, 10, 10).intersection(Rect(5, -5, 10, 10)), Rect(5, 0, 5, 5));
  EXPECT_TRUE(Rect(0, 0, 10, 10).intersection(Rect(10, 0, 5, 5)).isEmpty());
  EXPECT_TRUE(Rect(0, 0, NAN, 1).isEmpty());
  EXPECT_TRUE(Rect(0, 0, 10, 10).contains({0, 9.5}));
  EXPECT_FALSE(Rect(0, 0, 10, 10).contains({10, 5}));
  EXPECT_EQ(Rect(0, 0, 10, 10).insetBy(2, 3), Rect(2, 3, 6, 4));
}

TEST(AffineTransformTest, ConcatenationAppliesTheFirstTransformFirst) {
  auto scale = AffineTransform::makeScale(2, 3);
  auto move = AffineTransform::makeTranslation(10, 20);
  expectNear(AffineTransform::concat(scale, move).apply(Point{1, 1}), {12, 23});
  expectNear(AffineTransform::concat(move, scale).apply(Point{1, 1}), {22, 63});
  // translate / scale / rotate act before the transform they modify.
  expectNear(move.scaled(2, 3).apply(Point{1, 1}), {12, 23});
  expectNear(scale.translated(10, 20).apply(Point{1, 1}), {22, 63});
  auto quarter = AffineTransform::makeRotation(M_PI / 2);
  expectNear(quarter.apply(Point{1, 0}), {0, 1});
  expectNear(move.rotated(M_PI / 2).apply(Point{1, 0}), {10, 21});
}

TEST(AffineTransformTest, InversionAndRectangles) {
  auto t = AffineTransform::makeRotation(0.3).translated(5, -7).scaled(2, 0.5);
  auto round = AffineTransform::concat(t, t.inverted());
  EXPECT_NEAR(round.a, 1, 1e-12);
  EXPECT_NEAR(round.b, 0, 1e-12);
  EXPECT_NEAR(round.tx, 0, 1e-12);
  EXPECT_NEAR(round.ty, 0, 1e-12);
  auto singular = AffineTransform::makeScale(0, 1);
  EXPECT_FALSE(singular.isInvertible());
  EXPECT_EQ(singular.inverted(), singular);
  // A 100x50 rectangle turned a quarter has a 50x100 bounding box.
  Rect box = AffineTransform::makeRotation(M_PI / 2).apply(Rect(0, 0, 100, 50));
  EXPECT_NEAR(box.size.width, 50, 1e-9);
  EXPECT_NEAR(box.size.height, 100, 1e-9);
}
