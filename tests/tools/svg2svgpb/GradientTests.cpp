#include <gtest/gtest.h>

#include "ConverterTestSupport.h"

using namespace converter_test;

namespace {

using F = std::vector<float>;

std::string picture(const std::string& defs, const std::string& body) {
  return svg("", "<defs>" + defs + "</defs>" + body);
}

}  // namespace

TEST(Gradients, BoundingBoxUnitsMapOntoTheShape) {
  auto c = convert(picture(
      R"~(<linearGradient id="g"><stop offset="0" stop-color="red"/><stop offset="1" stop-color="blue" stop-opacity="0.5"/></linearGradient>)~",
      R"~(<rect x="10" y="20" width="100" height="50" fill="url(#g)"/>)~"));
  auto g = gradients(c);
  ASSERT_EQ(g.size(), 1u);
  EXPECT_EQ(g[0]->params().id(), "g");
  EXPECT_EQ(F({g[0]->start().x(), g[0]->end().x(), g[0]->end().y()}), F({0, 1, 0}));
  expectTransform(g[0]->transform(), 100, 0, 0, 50, 10, 20);
  ASSERT_EQ(g[0]->stops_size(), 2);
  EXPECT_EQ(g[0]->stops(0).color().red(), 255);
  EXPECT_FALSE(g[0]->stops(0).has_opacity());  // opaque stops leave it out
  EXPECT_EQ(F({g[0]->stops(1).opacity(), g[0]->stops(1).offset()}), F({0.5f, 1}));
  ASSERT_EQ(paths(c).size(), 1u);
  EXPECT_EQ(paths(c)[0]->params().fill().gradient_id(), "g");
  // A gradientTransform applies in the box's unit space, before the box.
  auto scaled = convert(picture(
      R"~(<linearGradient id="g" gradientTransform="scale(0.5)"><stop/><stop offset="1" stop-color="#fff"/></linearGradient>)~",
      R"~(<rect x="10" y="10" width="20" height="40" fill="url(#g)"/>)~"));
  ASSERT_EQ(gradients(scaled).size(), 1u);
  expectTransform(gradients(scaled)[0]->transform(), 10, 0, 0, 20, 10, 10);
}

TEST(Gradients, OneBoundingBoxGradientOnTwoShapesGivesTwoElements) {
  auto c = convert(picture(
      R"~(<radialGradient id="r"><stop stop-color="#fff"/><stop offset="1"/></radialGradient>)~",
      R"~(<rect width="10" height="10" fill="url(#r)"/><rect width="10" height="10" fill="url(#r)"/>
         <circle cx="50" cy="50" r="5" fill="url(#r)"/>)~"));
  auto g = gradients(c);
  ASSERT_EQ(g.size(), 2u);  // the two identical rectangles share one
  EXPECT_FLOAT_EQ(g[0]->center().x(), 0.5f);
  EXPECT_FLOAT_EQ(g[0]->radius(), 0.5f);
  expectTransform(g[1]->transform(), 10, 0, 0, 10, 45, 45);
  auto p = paths(c);
  EXPECT_EQ(p[2]->params().fill().gradient_id(), g[1]->params().id());
  EXPECT_NE(g[0]->params().id(), g[1]->params().id());
}

TEST(Gradients, UserSpaceUnitsWithTransformAndHrefInheritance) {
  auto c = convert(picture(
      R"~(<linearGradient id="base" x1="1" x2="9" gradientUnits="userSpaceOnUse">
           <stop offset="20%" stop-color="#00ff00"/><stop offset="0.1" style="stop-color:#0000ff"/></linearGradient>
         <linearGradient id="child" xlink:href="#base" y2="4" gradientTransform="translate(5,6)"/>)~",
      R"~(<rect width="10" height="10" fill="url(#child)"/>)~"));
  auto g = gradients(c);
  ASSERT_EQ(g.size(), 1u);
  EXPECT_EQ(F({g[0]->start().x(), g[0]->end().x(), g[0]->end().y()}), F({1, 9, 4}));
  expectTransform(g[0]->transform(), 1, 0, 0, 1, 5, 6);
  ASSERT_EQ(g[0]->stops_size(), 2);  // from the referenced gradient
  // Offsets never go back.
  EXPECT_EQ(F({g[0]->stops(0).offset(), g[0]->stops(1).offset()}), F({0.2f, 0.2f}));
  EXPECT_EQ(g[0]->stops(1).color().blue(), 255);
}

TEST(Gradients, DegenerateOrMissingGradientsBecomeColoursOrNothing) {
  auto c = convert(picture(
      R"~(<linearGradient id="one"><stop stop-color="#ff0000" stop-opacity="0.5"/></linearGradient>
         <linearGradient id="none"/>
         <linearGradient id="flat" x2="0"><stop stop-color="red"/><stop offset="1" stop-color="#00ff00"/></linearGradient>)~",
      R"~(<rect width="10" height="10" fill="url(#one)"/><rect width="10" height="10" fill="url(#none)"/>
         <rect width="10" height="10" fill="url(#flat)"/><path d="M0 0 H10" fill="none" stroke="url(#flat)"/>
         <rect width="10" height="10" fill="url(#missing) #00f"/><rect width="10" height="10" fill="url(#missing)"/>)~"));
  EXPECT_TRUE(gradients(c).empty());
  auto p = paths(c);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_EQ(p[0]->params().fill().color().red(), 255);
  EXPECT_FLOAT_EQ(p[0]->params().opacity(), 0.5f);
  EXPECT_EQ(p[1]->params().fill().color().green(), 255);  // the last stop
  EXPECT_EQ(p[2]->params().fill().color().blue(), 255);   // a missing one's fallback colour
}

TEST(Gradients, UnsupportedPartsAreReported) {
  auto c = convert(picture(
      R"~(<radialGradient id="f" fx="0.2"><stop/><stop offset="1" stop-color="#fff"/></radialGradient>
         <linearGradient id="s" spreadMethod="reflect"><stop/><stop offset="1" stop-color="#fff"/></linearGradient>)~",
      R"~(<rect width="10" height="10" fill="url(#f)"/><rect width="10" height="10" fill="url(#s)"/>)~"));
  EXPECT_EQ(c.losses.count("radial gradient focal point"), 1);
  EXPECT_EQ(c.losses.count("gradient spreadMethod reflect"), 1);
  EXPECT_EQ(gradients(c).size(), 2u);
}
