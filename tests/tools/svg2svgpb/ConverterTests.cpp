#include <gtest/gtest.h>

#include "ConverterTestSupport.h"

using namespace converter_test;

TEST(SvgConverter, SizeUnitsAndViewBox) {
  auto c = convert(svg(R"~(width="2in" height="1in" viewBox="10 0 20 10")~",
                       R"~(<rect width="5" height="5"/>)~"));
  EXPECT_FLOAT_EQ(c.root.viewport().width(), 192);
  EXPECT_FLOAT_EQ(c.root.viewport().height(), 96);
  EXPECT_FLOAT_EQ(c.root.view_box().width(), 192);
  ASSERT_TRUE(c.root.params().has_transform());
  expectTransform(c.root.params().transform(), 9.6, 0, 0, 9.6, -96, 0);
  // A view box of another shape is centred (xMidYMid meet).
  auto centred = convert(
      svg(R"~(width="200" height="100" viewBox="0 0 10 10")~", "<rect width='1' height='1'/>"));
  expectTransform(centred.root.params().transform(), 10, 0, 0, 10, 50, 0);
  auto sized = convert(svg(R"~(width="100%" height="50mm" viewBox="0 0 40 30")~", ""));
  EXPECT_FLOAT_EQ(sized.root.viewport().width(), 40);
  EXPECT_NEAR(sized.root.viewport().height(), 188.976, 1e-3);
}

TEST(SvgConverter, NestedTransformsComposeIntoEachPath) {
  auto c = convert(svg("", R"~(<g transform="translate(10,0)"><g transform="scale(2)">
      <rect x="1" y="2" width="3" height="4" transform="rotate(90)"/></g></g>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 1u);
  // rotate(90), then scale(2), then translate(10, 0).
  expectTransform(p[0]->params().transform(), 0, 2, -2, 0, 10, 0);
  EXPECT_FLOAT_EQ(p[0]->rect().x(), 1);
  EXPECT_FLOAT_EQ(p[0]->rect().height(), 4);
  // Groups without states leave no group behind.
  for (const auto& element : c.root.params().children()) EXPECT_FALSE(element.has_group());
}

TEST(SvgConverter, UseAndSymbolAreInlined) {
  auto c = convert(svg("", R"~(<defs>
      <symbol id="s" viewBox="0 0 10 10"><circle cx="5" cy="5" r="5"/></symbol>
      <rect id="r" width="2" height="2"/></defs>
      <use xlink:href="#s" x="5" y="7" width="20" height="20" fill="#ff0000"/>
      <g transform="translate(100,0)"><use href="#r" x="1" transform="scale(3)"/></g>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[0]->r(), 5);
  expectTransform(p[0]->params().transform(), 2, 0, 0, 2, 5, 7);
  EXPECT_EQ(p[0]->params().fill().color().red(), 255);  // the use's style is inherited
  // x applies inside the use's own transform.
  expectTransform(p[1]->params().transform(), 3, 0, 0, 3, 103, 0);
  // A use inside what it names ends there.
  auto self = convert(svg("", R"~(<g id="a"><rect width="1" height="1"/><use href="#a"/></g>)~"));
  EXPECT_EQ(paths(self).size(), 1u);
}

TEST(SvgConverter, StateGroupsKeepTheirIdentifiers) {
  auto c =
      convert(svg("", R"~(<g id="layer_state-1-4"><g id="plain"><rect width="1" height="1"/></g>
      <g id="state-2"><rect width="2" height="2"/></g></g><rect width="3" height="3"/>)~"));
  const auto& top = c.root.params().children();
  ASSERT_EQ(top.size(), 2);
  ASSERT_TRUE(top[0].has_group());
  EXPECT_EQ(top[0].group().id(), "layer_state-1-4");
  ASSERT_EQ(top[0].group().children_size(), 2);
  EXPECT_TRUE(top[0].group().children(0).has_path());
  EXPECT_EQ(top[0].group().children(1).group().id(), "state-2");
  EXPECT_TRUE(top[1].has_path());

  // The renderer's states work on the converted picture.
  SVGRenderer renderer;
  ASSERT_TRUE(load(c, renderer));
  EXPECT_EQ(renderer.declaredStates(), (std::set<std::int32_t>{1, 2, 4}));
}

TEST(SvgConverter, ColoursCurrentColorAndStyleSheetRules) {
  auto c = convert(svg("", R"~(<g color="#123456"><rect width="1" height="1" fill="currentColor"/>
      <rect width="1" height="1" fill="rgb(0%,100%,0%)" stroke="none"/>
      <rect width="1" height="1" style="fill:navy"/><rect width="1" height="1" fill="none"/></g>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 3u);  // the unpainted rectangle is left out
  EXPECT_EQ(p[0]->params().fill().color().red(), 0x12);
  EXPECT_EQ(p[0]->params().fill().color().blue(), 0x56);
  EXPECT_EQ(p[1]->params().fill().color().green(), 255);
  EXPECT_EQ(p[2]->params().fill().color().blue(), 128);
  EXPECT_FALSE(p[0]->params().has_stroke());
  // Rules of a style element apply.
  auto ruled = convert(svg("", R"~(<style>/* rules */ .hot { fill: #ff0000 } #b { fill: blue }
      circle { fill: lime }</style><rect class="hot" width="1" height="1"/>
      <rect id="b" class="hot" width="1" height="1"/><circle r="2"/>)~"));
  auto q = paths(ruled);
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[0]->params().fill().color().red(), 255);
  EXPECT_EQ(q[1]->params().fill().color().blue(), 255);
  EXPECT_EQ(q[2]->params().fill().color().green(), 255);
  EXPECT_TRUE(ruled.losses.isEmpty());
}

TEST(SvgConverter, FillRuleAndShapes) {
  auto c = convert(svg("", R"~(<polygon points="0,0 10,0 10,10" fill-rule="evenodd"/>
      <ellipse cx="5" cy="6" rx="3" ry="2"/><line x1="0" y1="0" x2="5" y2="5" stroke="black"/>
      <rect width="10" height="10" rx="2"/><rect width="0" height="10"/><circle r="-1"/>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 4u);
  EXPECT_TRUE(p[0]->params().fill().even_odd());
  ASSERT_GT(p[0]->points_size(), 0);
  EXPECT_TRUE(p[0]->points(p[0]->points_size() - 1).close());
  EXPECT_FLOAT_EQ(p[1]->rx(), 3);
  EXPECT_FLOAT_EQ(p[1]->cy(), 6);
  EXPECT_TRUE(p[2]->params().fill().none());  // a line has no inside
  EXPECT_TRUE(p[2]->params().stroke().has_color());
  EXPECT_FALSE(p[3]->has_rect());  // rounded corners are drawn as a path
  int curves = 0;
  for (const auto& point : p[3]->points()) curves += point.has_curve_to();
  EXPECT_EQ(curves, 4);
}

TEST(SvgConverter, OpacitiesSplitShapesAndFoldIntoChildren) {
  auto c = convert(svg("", R"~(<rect width="10" height="10" fill="red" fill-opacity="0.5"
      stroke="blue" stroke-opacity="0.25"/><rect width="10" height="10" fill="red" stroke="blue"/>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 3u);
  EXPECT_FLOAT_EQ(p[0]->params().opacity(), 0.5f);
  EXPECT_TRUE(p[0]->params().has_fill());
  EXPECT_FALSE(p[0]->params().has_stroke());
  EXPECT_FLOAT_EQ(p[1]->params().opacity(), 0.25f);
  EXPECT_TRUE(p[1]->params().fill().none());
  // Equal opacities and a stroke of width 1 stay one path.
  EXPECT_TRUE(p[2]->params().has_stroke());
  EXPECT_FALSE(p[2]->params().has_opacity());
  // Group opacity is folded into the children.
  auto group = convert(svg("", R"~(<g opacity="0.5"><rect width="10" height="10" opacity="0.5"/>
      <rect x="20" width="10" height="10"/></g>)~"));
  auto g = paths(group);
  ASSERT_EQ(g.size(), 2u);
  EXPECT_FLOAT_EQ(g[0]->params().opacity(), 0.25f);
  EXPECT_FLOAT_EQ(g[1]->params().opacity(), 0.5f);
  EXPECT_TRUE(group.losses.isEmpty());  // the shapes do not overlap: folding is exact
  auto overlapping = convert(svg("", R"~(<g opacity="0.5"><rect width="10" height="10"/>
      <rect x="5" width="10" height="10"/></g>)~"));
  EXPECT_EQ(overlapping.losses.count("group opacity over overlapping shapes"), 1);
}

TEST(SvgConverter, WideStrokesUseAScaledNativeStrokeOrBecomeFilledOutlines) {
  auto c = convert(svg(
      "",
      R"~(<rect x="10" y="20" width="30" height="40" fill="none" stroke="red" stroke-width="4"/>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 1u);
  // The stroke is drawn at width 1 in a space scaled by 4: exact, and as small as the source.
  expectTransform(p[0]->params().transform(), 4, 0, 0, 4, 0, 0);
  EXPECT_FLOAT_EQ(p[0]->rect().x(), 2.5f);
  EXPECT_FLOAT_EQ(p[0]->rect().width(), 7.5f);
  EXPECT_TRUE(p[0]->params().stroke().has_color());
  // A round join cannot be scaled: the stroke becomes a filled outline.
  auto round =
      convert(svg("", R"~(<path d="M0 0 L100 0 L100 100" fill="none" stroke="#00f" stroke-width="10"
      stroke-linejoin="round" stroke-opacity="0.5"/>)~"));
  auto r = paths(round);
  ASSERT_EQ(r.size(), 1u);
  EXPECT_FALSE(r[0]->params().has_stroke());
  EXPECT_EQ(r[0]->params().fill().color().blue(), 255);
  EXPECT_FLOAT_EQ(r[0]->params().opacity(), 0.5f);
  int subpaths = 0;
  for (const auto& point : r[0]->points()) subpaths += point.has_move_to();
  EXPECT_GE(subpaths, 3);  // a strip for each leg and the join between them
}

TEST(SvgConverter, UnsupportedFeaturesAreReportedPerFile) {
  auto c = convert(
      svg("", R"~(<defs><filter id="f"/><clipPath id="c"><rect width="1" height="1"/></clipPath>
      <pattern id="p" width="2" height="2"/></defs>
      <text x="0" y="10">Hello</text><text>again</text>
      <rect width="5" height="5" filter="url(#f)"/><g style="filter:url(#f)"><rect width="1" height="1"/></g>
      <rect width="5" height="5" clip-path="url(#c)" mask="url(#m)"/>
      <path d="M0 0 L5 5" stroke="black" stroke-dasharray="2 1" marker-end="url(#x)"/>
      <rect width="5" height="5" fill="url(#p) red"/><image href="a.png" width="1" height="1"/>)~"));
  EXPECT_EQ(c.losses.count("text"), 0);  // drawn as outlines
  EXPECT_EQ(c.losses.count("filter"), 2);
  EXPECT_EQ(c.losses.count("clip-path"), 1);
  EXPECT_EQ(c.losses.count("mask"), 1);
  EXPECT_EQ(c.losses.count("stroke-dasharray"), 0);  // dashes are carried
  EXPECT_EQ(c.losses.count("marker"), 1);
  EXPECT_EQ(c.losses.count("pattern paint"), 1);
  EXPECT_EQ(c.losses.count("image"), 1);
  // The command line's test reads the plural form.
  auto lines = c.losses.lines("input.svg");
  EXPECT_NE(std::find(lines.begin(), lines.end(), "input.svg: mask: 1 element not carried"),
            lines.end());
  // The pattern's fallback colour is used.
  auto p = paths(c);
  EXPECT_EQ(p.back()->params().fill().color().red(), 255);
}

TEST(SvgConverter, HiddenAndNotDrawnElements) {
  auto c = convert(svg("", R"~(<g display="none"><rect width="1" height="1"/></g>
      <g visibility="hidden"><rect width="1" height="1"/><rect width="2" height="2" visibility="visible"/></g>
      <switch><foreignObject requiredExtensions="http://ns.adobe.com/AdobeIllustrator/10.0/"/>
      <rect width="3" height="3"/><rect width="4" height="4"/></switch>
      <metadata><rect width="9" height="9"/></metadata><sodipodi:namedview xmlns:sodipodi="x"/>)~"));
  auto p = paths(c);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_FLOAT_EQ(p[0]->rect().width(), 2);
  EXPECT_FLOAT_EQ(p[1]->rect().width(), 3);
  EXPECT_TRUE(c.losses.isEmpty());
}

TEST(SvgConverter, ConvertedPictureDrawsLikeTheSource) {
  // A 100 x 100 picture: a red square with a 10-unit blue outline centred on its edge.
  auto c = convert(svg(R"~(width="100" height="100")~",
                       R"~(<rect x="20" y="20" width="60" height="60" fill="red" stroke="blue"
                          stroke-width="10" stroke-linejoin="round"/>)~"));
  SVGRenderer renderer;
  ASSERT_TRUE(load(c, renderer));
  auto image = renderer.renderImage(100, 100, 1);
  ASSERT_TRUE(image);
  const platform::Bitmap& bitmap = image->bitmap();
  auto at = [&](int x, int y) { return bitmap.pixel(x, 99 - y); };  // rows are stored upside down
  EXPECT_EQ(at(50, 50), 0xFFFF0000u);                               // fill
  EXPECT_EQ(at(50, 20), 0xFF0000FFu);                               // on the edge: stroke
  EXPECT_EQ(at(50, 16), 0xFF0000FFu);                               // inside the outer half
  EXPECT_EQ(at(50, 12), 0u);                                        // beyond it
  EXPECT_EQ(at(17, 17), 0xFF0000FFu);                               // 4.3 from the corner
  EXPECT_EQ(at(15, 15), 0u);  // the whole pixel over 5 away: outside the round join
}

TEST(SvgConverter, DashedStrokesDrawTheirDashes) {
  // Dashes of 10 and gaps of 5 from 5 into the pattern: drawn over 0-5, 10-20, 25-35, ...
  // The second line inherits the pattern from its group, with round caps.
  auto c = convert(svg(R"~(width="100" height="20")~",
                       R"~(<line x1="0" y1="5" x2="100" y2="5" stroke="blue" stroke-width="4"
                          stroke-dasharray="10,5" stroke-dashoffset="5"/>
                          <g stroke-dasharray="10 5"><path d="M0 15 H100" stroke="red"
                          stroke-width="4" stroke-linecap="round"/></g>)~"));
  EXPECT_TRUE(c.losses.isEmpty());
  SVGRenderer renderer;
  ASSERT_TRUE(load(c, renderer));
  auto image = renderer.renderImage(100, 20, 1);
  auto at = [&](int x, int y) { return image->bitmap().pixel(x, 19 - y); };
  for (int x : {2, 15, 30, 45}) EXPECT_EQ(at(x, 5), 0xFF0000FFu) << x;
  for (int x : {7, 22, 37}) EXPECT_EQ(at(x, 5), 0u) << x;
  for (int x : {5, 20, 35}) EXPECT_EQ(at(x, 15), 0xFFFF0000u) << x;
  EXPECT_EQ(at(12, 15), 0u);           // the gap from 10 to 15 less the round caps' 2
  EXPECT_GT(at(11, 15) >> 24, 0xC0u);  // mostly within a cap
}

TEST(SvgConverter, TextBecomesOutlinesInTheResolvedFont) {
  auto c = convert(svg(R"~(width="100" height="40")~",
                       R"~(<text x="50" y="30" font-size="24" fill="blue" text-anchor="middle">
                          H<tspan font-weight="bold">i</tspan></text>
                          <text y="10" font-family="'No Such Font 1234'">x</text>)~"));
  EXPECT_EQ(c.losses.count("text in a substituted font"), 1);
  EXPECT_EQ(c.losses.count("text"), 0);
  auto p = paths(c);
  ASSERT_EQ(p.size(), 2u);
  EXPECT_EQ(p[0]->params().fill().color().blue(), 255);
  EXPECT_GT(p[0]->points_size(), 10);
  SVGRenderer renderer;
  ASSERT_TRUE(load(c, renderer));
  auto image = renderer.renderImage(100, 40, 1);
  // "Hi" centred on x = 50 above the baseline at y = 30: blue on both sides of the centre,
  // nothing below the baseline or far to the sides.
  int left = 0, right = 0, below = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 100; ++x) {
      std::uint32_t argb = image->bitmap().pixel(x, 39 - y);
      if ((argb & 0xFF) < 200 || argb >> 24 < 200 || y < 12) continue;
      (x < 50 ? left : right) += 1;
      if (y > 31) ++below;
      if (x < 30 || x > 70) ++outside;
    }
  EXPECT_GT(left, 20);
  EXPECT_GT(right, 10);
  EXPECT_EQ(below + outside, 0);
}

TEST(SvgConverter, FontStretchPicksTheCondensedFace) {
  // The same word, normal and condensed: the condensed outline is clearly narrower.
  auto width = [](const std::string& stretch) {
    auto c = convert(svg(R"~(width="400" height="40")~",
                         R"~(<text x="0" y="30" font-family="DejaVu Sans" font-weight="bold"
                             font-size="24" )~" +
                             stretch + ">Pictavia</text>"));
    EXPECT_EQ(c.losses.count("text in a substituted font"), 0);
    SVGRenderer renderer;
    EXPECT_TRUE(load(c, renderer));
    auto image = renderer.renderImage(400, 40, 1);
    int right = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x)
        if (image->bitmap().pixel(x, y) >> 24 > 128) right = std::max(right, x);
    return right;
  };
  int normal = width(""), condensed = width(R"~(font-stretch="condensed")~");
  EXPECT_GT(normal, 60);
  EXPECT_LT(condensed, normal * 0.95);
}
