#include <gtest/gtest.h>

#include <pugixml.hpp>

#include "ComputedStyle.h"
#include "StyleSheet.h"
#include "SvgValues.h"

using namespace svgconvert;

TEST(SvgValues, ColoursInEveryNotationAndPaints) {
  EXPECT_EQ(SvgValues::parseColor("#abc"), (Color{0xaa, 0xbb, 0xcc, 1}));
  EXPECT_EQ(SvgValues::parseColor("#A0b1C2"), (Color{0xa0, 0xb1, 0xc2, 1}));
  EXPECT_EQ(SvgValues::parseColor("rgb(255, 0, 10)"), (Color{255, 0, 10, 1}));
  EXPECT_EQ(SvgValues::parseColor("rgb(100%,50%,0%)"), (Color{255, 128, 0, 1}));
  EXPECT_EQ(SvgValues::parseColor(" CornflowerBlue "), (Color{0x64, 0x95, 0xed, 1}));
  EXPECT_DOUBLE_EQ(SvgValues::parseColor("rgba(0,0,0,0.25)")->alpha, 0.25);
  EXPECT_DOUBLE_EQ(SvgValues::parseColor("transparent")->alpha, 0);
  EXPECT_EQ(SvgValues::parseColor("hsl(120, 100%, 50%)"), (Color{0, 255, 0, 1}));
  EXPECT_FALSE(SvgValues::parseColor("#abcd1"));
  EXPECT_FALSE(SvgValues::parseColor("notacolour"));
  EXPECT_FALSE(SvgValues::parseColor("rgb(1,2)"));
  EXPECT_EQ(SvgValues::parsePaint("none")->kind, Paint::Kind::None);
  EXPECT_EQ(SvgValues::parsePaint("currentColor")->kind, Paint::Kind::CurrentColor);
  auto reference = SvgValues::parsePaint("url(#grad) #ff0000");
  ASSERT_TRUE(reference);
  EXPECT_EQ(reference->kind, Paint::Kind::Reference);
  EXPECT_EQ(reference->reference, "grad");
  EXPECT_EQ(reference->fallbackColor, (Color{255, 0, 0, 1}));
  EXPECT_EQ(SvgValues::parsePaint("url('#g2')")->reference, "g2");
  EXPECT_FALSE(SvgValues::parsePaint("bogus"));
}

TEST(SvgValues, LengthUnits) {
  for (const char* inch : {"96", "96px", "1in", "72pt", "25.4mm", "2.54cm", "6pc"})
    EXPECT_DOUBLE_EQ(SvgValues::parseLength(inch)->value, 96) << inch;
  auto percent = SvgValues::parseLength("50%");
  ASSERT_TRUE(percent);
  EXPECT_TRUE(percent->percent);
  Viewport viewport{200, 100};
  EXPECT_DOUBLE_EQ(viewport.resolve(*percent, Viewport::Axis::X), 100);
  EXPECT_DOUBLE_EQ(viewport.resolve(*percent, Viewport::Axis::Y), 50);
  EXPECT_NEAR(viewport.resolve(*percent, Viewport::Axis::Other), 79.0569, 1e-3);
  EXPECT_FALSE(SvgValues::parseLength("12 apples"));
  EXPECT_FALSE(SvgValues::parseLength("inf"));
}

TEST(SvgValues, TransformListsComposeLeftToRight) {
  auto t = SvgValues::parseTransform("translate(10,20) scale(2)");
  ASSERT_TRUE(t);
  Point p = t->apply(Point{1, 1});
  EXPECT_DOUBLE_EQ(p.x, 12);
  EXPECT_DOUBLE_EQ(p.y, 22);
  auto rotate = SvgValues::parseTransform("rotate(90 10 10)");
  Point r = rotate->apply(Point{20, 10});
  EXPECT_NEAR(r.x, 10, 1e-9);
  EXPECT_NEAR(r.y, 20, 1e-9);
  Point skew = SvgValues::parseTransform("skewX(45)")->apply(Point{0, 10});
  EXPECT_NEAR(skew.x, 10, 1e-9);
  auto matrix = SvgValues::parseTransform("matrix(1 2 3 4 5 6)");
  EXPECT_EQ(*matrix, (platform::AffineTransform{1, 2, 3, 4, 5, 6}));
  EXPECT_FALSE(SvgValues::parseTransform("scale(1,2,3)"));
  EXPECT_FALSE(SvgValues::parseTransform("wobble(1)"));
}

TEST(StyleSheet, CascadeBySpecificityThenStyleAttribute) {
  pugi::xml_document document;
  ASSERT_TRUE(document.load_string(
      R"~(<svg><rect id="r" class="a b" fill="green" stroke="red" style="stroke-width:3"/></svg>)~"));
  pugi::xml_node rect = document.child("svg").child("rect");
  StyleSheet sheet;
  EXPECT_EQ(sheet.addRules("#r { fill: blue } rect.a { fill: yellow; stroke: black !important }"
                           " .b { fill: purple } rect { stroke-width: 9 } g > rect { fill: red }"
                           " @media print { rect { fill: red } }"),
            2);
  ComputedStyle style = ComputedStyle::derive(ComputedStyle(), sheet.declarationsFor(rect));
  EXPECT_EQ(style.fill.color, (Color{0, 0, 255, 1}));  // the id wins over classes
  EXPECT_EQ(style.stroke.color, (Color{0, 0, 0, 1}));  // !important wins over the attribute
  EXPECT_DOUBLE_EQ(style.strokeWidth.value, 3);        // the style attribute wins over rules
}

TEST(ComputedStyle, InheritanceAndInitialValues) {
  ComputedStyle parent = ComputedStyle::derive(ComputedStyle(), {{"fill", "red"},
                                                                 {"opacity", "0.5"},
                                                                 {"stroke-linejoin", "round"},
                                                                 {"color", "#00ff00"},
                                                                 {"filter", "url(#f)"}});
  ComputedStyle child = ComputedStyle::derive(
      parent, {{"stroke", "currentColor"}, {"fill-opacity", "50%"}, {"stroke-width", "bogus"}});
  EXPECT_EQ(child.fill.color, (Color{255, 0, 0, 1}));  // inherited
  EXPECT_DOUBLE_EQ(child.opacity, 1);                  // not inherited
  EXPECT_FALSE(child.filter);
  EXPECT_EQ(child.lineJoin, LineJoin::Round);
  EXPECT_EQ(child.stroke.kind, Paint::Kind::CurrentColor);
  EXPECT_EQ(child.color, (Color{0, 255, 0, 1}));
  EXPECT_DOUBLE_EQ(child.fillOpacity, 0.5);
  EXPECT_DOUBLE_EQ(child.strokeWidth.value, 1);  // invalid values are ignored
  ComputedStyle hidden = ComputedStyle::derive(parent, {{"fill", "inherit"}, {"display", "none"}});
  EXPECT_FALSE(hidden.displayed);
  EXPECT_EQ(hidden.fill.color, (Color{255, 0, 0, 1}));
}
