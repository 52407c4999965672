#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "Foundation/DeviceProfile.h"
#include "SVGView/SVGRenderer.h"
#include "TestSupport.h"
#include "WireBytes.h"

using namespace platform;
using namespace svg_test;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu, kBlack = 0xFF000000u;

void setMatrix(ProtoAffineTransformMatrix* m, float a, float b, float c, float d, float tx,
               float ty) {
  m->set_a(a), m->set_b(b), m->set_c(c), m->set_d(d), m->set_tx(tx), m->set_ty(ty);
}

// A definition of a gradient from red to blue.
ProtoSVGElementGradient* addGradient(ProtoSVGGeneralParams* top, const std::string& id) {
  ProtoSVGElementGradient* g =
      top->add_children()->mutable_defs()->add_children()->mutable_gradient();
  g->mutable_params()->set_id(id);
  for (int s = 0; s < 2; ++s) {
    auto* stop = g->add_stops();
    stop->set_offset(s);
    (s ? stop->mutable_color()->set_blue(255) : stop->mutable_color()->set_red(255));
  }
  return g;
}

int channel(std::uint32_t argb, int shift) {
  return static_cast<int>(argb >> shift & 0xFF);
}

// Loads the tree through a real file.
class Picture {
 public:
  explicit Picture(const ProtoSVGRoot& root) : Picture(root.SerializeAsString()) {}
  explicit Picture(const std::string& bytes) {
    EXPECT_TRUE(svg_test::writeFile(_directory.file("picture.svgpb"), bytes));
    _loaded = renderer.load(_directory.file("picture.svgpb"));
  }
  int loaded() const { return _loaded; }
  // Renders at 100 x 100 pixels and returns the pixels as shown (top row first).
  std::shared_ptr<Bitmap> shown(float width = 100, float height = 100) {
    auto image = renderer.renderImage(width, height, 1);
    if (!image) return nullptr;
    EXPECT_EQ(image->orientation(), ImageOrientation::DownMirrored);
    const Bitmap& stored = image->bitmap();
    auto upright = Bitmap::create(stored.width(), stored.height(), stored.format());
    for (int y = 0; y < stored.height(); ++y)
      std::copy(stored.row(y), stored.row(y) + stored.bytesPerRow(),
                upright->row(stored.height() - 1 - y));
    return upright;
  }
  SVGRenderer renderer;

 private:
  testing_support::TemporaryDirectory _directory;
  int _loaded = 0;
};

}  // namespace

TEST(SVGRendererTest, PicturesShowUprightOnEverySystem) {
  // A red block in the top left corner: any flip or turn would move it.
  ProtoSVGRoot root = squareRoot();
  setColor(addRect(root.mutable_params(), 0, 0, 30, 20)->mutable_params()->mutable_fill(), 255, 0,
           0);
  Picture picture(root);
  EXPECT_EQ(picture.loaded(), 1);
  auto pixels = picture.shown();
  EXPECT_EQ(pixels->pixel(5, 5), kRed);
  EXPECT_EQ(pixels->pixel(95, 5) | pixels->pixel(5, 95), 0u);
  // Older systems got upright rows instead of the mirrored orientation.
  DeviceProfile old = DeviceProfile::current();
  DeviceProfile profile = old;
  profile.systemVersion = "4.3";
  DeviceProfile::setCurrent(profile);
  auto upright = picture.renderer.renderImage(100, 100, 2);
  DeviceProfile::setCurrent(old);
  EXPECT_EQ(upright->orientation(), ImageOrientation::Up);
  EXPECT_EQ(upright->size(), (Size{100, 100}));
  EXPECT_EQ(upright->bitmap().pixel(10, 10), kRed);
  EXPECT_EQ(upright->bitmap().pixel(190, 10) | upright->bitmap().pixel(10, 190), 0u);
}

TEST(SVGRendererTest, GroupsShowByTheStatesTheirIdentifiersName) {
  using States = std::set<std::int32_t>;
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("layer_state-1-4"), (States{1, 4}));
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state-2-5x-6"), (States{2, 5}));
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state- 7"), States{7});
  for (const char* none : {"state-", "state-x", "hero"})
    EXPECT_EQ(SVGRenderer::statesFromIdentifier(none), States{});

  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  // An element with a path and a group: the path always draws, the group only by state.
  ProtoSVGElement* both = top->add_children();
  both->mutable_path()->mutable_rect()->set_width(10);
  both->mutable_path()->mutable_rect()->set_height(10);
  both->mutable_group()->set_id("state-2-5");
  addRect(both->mutable_group(), 20, 0, 10, 10);
  for (auto [id, x] : {std::pair{"state-", 40.0f}, {"hero", 60.0f}}) {
    ProtoSVGGeneralParams* group = top->add_children()->mutable_group();
    group->set_id(id);
    addRect(group, x, 0, 10, 10);
  }
  ProtoSVGGeneralParams* inDefs =
      top->add_children()->mutable_defs()->add_children()->mutable_group();
  inDefs->set_id("state-9");
  addRect(inDefs, 80, 0, 10, 10);

  Picture picture(root);
  SVGRenderer& renderer = picture.renderer;
  EXPECT_EQ(renderer.declaredStates(), (States{2, 5, 9}));
  auto shows = [&](int x) { return picture.shown()->pixel(x + 5, 5) == kBlack; };
  // Definitions are never drawn.
  EXPECT_EQ(std::vector<bool>({shows(0), shows(20), shows(40), shows(60), shows(80)}),
            std::vector<bool>({true, false, true, true, false}));
  renderer.setStateActive(5);
  EXPECT_TRUE(shows(20));
  renderer.setAllStatesInactive();
  renderer.setStateActive(3);  // undeclared: ignored
  EXPECT_TRUE(renderer.activeStates().empty());

  // States stay declared and switched on across loads.
  renderer.setStateActive(5);
  EXPECT_EQ(renderer.load(""), 0);
  EXPECT_EQ(renderer.activeStates(), States{5});
  EXPECT_TRUE(renderer.declaredStates().count(2));
}

TEST(SVGRendererTest, FillRulesStrokesAndEllipses) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  // Two nested squares in one path: a hole only by the even-odd rule.
  auto nested = [&](float x) {
    ProtoSVGElementPath* path = top->add_children()->mutable_path();
    for (float i : {0.0f, 5.0f})
      for (auto [px, py] :
           {std::pair{x + i, i}, {x + 20 - i, i}, {x + 20 - i, 20 - i}, {x + i, 20 - i}}) {
        auto* point = path->add_points();
        auto* at = py == i && px == x + i ? point->mutable_move_to() : point->mutable_line_to();
        at->set_x(px), at->set_y(py);
      }
    return path->mutable_params();
  };
  nested(0);                   // no fill: non-zero
  nested(25)->mutable_fill();  // a paint with neither colour nor gradient: even-odd black
  ProtoSVGPaint* evenOdd = nested(50)->mutable_fill();
  setColor(evenOdd, 255, 0, 0);
  evenOdd->set_even_odd(true);
  setColor(nested(75)->mutable_fill(), 255, 0, 0);  // a colour alone: non-zero
  ProtoSVGElementPath* outline = addRect(top, 60, 30, 20, 20);
  outline->mutable_params()->mutable_fill()->set_none(true);
  setColor(outline->mutable_params()->mutable_stroke(), 0, 0, 255);
  // A stroke naming only a gradient, and a fill naming one that is missing, draw nothing.
  addGradient(top, "g");
  ProtoSVGElementPath* gradientStroke = addRect(top, 0, 30, 20, 20);
  gradientStroke->mutable_params()->mutable_fill()->set_none(true);
  gradientStroke->mutable_params()->mutable_stroke()->set_gradient_id("g");
  addRect(top, 30, 30, 20, 20)->mutable_params()->mutable_fill()->set_gradient_id("missing");
  // An ellipse needs both radii; a circle about the origin when the centre is absent.
  ProtoSVGElementPath* ellipse = top->add_children()->mutable_path();
  ellipse->set_cx(50), ellipse->set_cy(80), ellipse->set_rx(10);
  top->add_children()->mutable_path()->set_r(3);
  ProtoSVGElementPath* full = top->add_children()->mutable_path();
  full->set_cx(80), full->set_cy(80), full->set_rx(15), full->set_ry(5);

  auto pixels = Picture(root).shown();
  auto at = [&](int x, int y) { return pixels->pixel(x, y); };
  EXPECT_EQ(std::vector({at(10, 10), at(35, 10), at(27, 2), at(60, 10), at(52, 2), at(85, 10)}),
            std::vector({kBlack, 0u, kBlack, 0u, kRed, kRed}));
  EXPECT_EQ(channel(pixels->pixel(70, 30), 0), 255);  // stroked in blue on its edge, ...
  // ... not filled; the gradient stroke, the missing gradient and the one-radius ellipse draw
  // nothing; the circle about the origin and the full ellipse draw.
  EXPECT_EQ(std::vector({at(70, 40), at(0, 30), at(10, 30), at(20, 30), at(40, 40), at(50, 80),
                         at(1, 1), at(92, 80), at(80, 88)}),
            std::vector({0u, 0u, 0u, 0u, 0u, 0u, kBlack, kBlack, 0u}));
}

TEST(SVGRendererTest, GradientsByTheirLastDefinitionWithTheirTransforms) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  ProtoSVGElementGradient* first = addGradient(top, "linear");
  first->mutable_end()->set_y(50);  // replaced below: the last definition wins
  ProtoSVGElementGradient* linear = addGradient(top, "linear");
  linear->mutable_start()->set_x(20);
  linear->mutable_end()->set_x(80);
  linear->mutable_center()->set_x(50);  // ignored: start and end decide
  linear->set_radius(10);
  ProtoSVGElementGradient* radial = addGradient(top, "radial");
  radial->mutable_start()->set_x(0);
  radial->mutable_center()->set_x(50);
  radial->mutable_center()->set_y(75);
  radial->set_radius(20);
  radial->mutable_stops(1)->set_opacity(0);
  addRect(top, 0, 0, 100, 25)->mutable_params()->mutable_fill()->set_gradient_id("linear");
  addRect(top, 0, 50, 100, 50)->mutable_params()->mutable_fill()->set_gradient_id("radial");
  // A sheared gradient drawn at x = g - y: along y = 40.5 its middle (g = 50) is at x = 9.5.
  ProtoSVGElementGradient* sheared = addGradient(top, "sheared");
  sheared->mutable_start()->set_x(20);
  sheared->mutable_end()->set_x(80);
  setMatrix(sheared->mutable_transform(), 1, 0, -1, 1, 0, 0);
  addRect(top, 0, 30, 100, 15)->mutable_params()->mutable_fill()->set_gradient_id("sheared");

  Picture picture(root);
  picture.renderer.prepare();
  auto pixels = picture.shown();
  EXPECT_EQ(pixels->pixel(5, 10), kRed);    // extended before the start
  EXPECT_EQ(pixels->pixel(95, 10), kBlue);  // and after the end
  EXPECT_NEAR(channel(pixels->pixel(50, 10), 16), 128, 8);
  EXPECT_NEAR(channel(pixels->pixel(9, 40), 16), 128, 12);
  EXPECT_EQ(pixels->pixel(70, 40), kBlue);
  std::uint32_t centre = pixels->pixel(50, 75);  // the radial centre: the opaque first stop
  EXPECT_GT(channel(centre, 24), 235);
  EXPECT_GT(channel(centre, 16), 235);
  EXPECT_EQ(pixels->pixel(5, 95) >> 24, 0u);  // outside the radius: the transparent stop
}

TEST(SVGRendererTest, OpacityTransformsAndFitting) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  // A sheared square: x' = x + 0.5 y, so its bottom edge runs from 25 to 45.
  ProtoSVGElementPath* sheared = addRect(top, 0, 50, 20, 10);
  setMatrix(sheared->mutable_params()->mutable_transform(), 1, 0, 0.5, 1, 0, 0);
  // A translucent blue stroke over a red square: the stroke's overlap paints once.
  setColor(addRect(top, 60, 60, 30, 30)->mutable_params()->mutable_fill(), 255, 0, 0);
  ProtoSVGElementPath* stroke = top->add_children()->mutable_path();
  for (auto [x0, y0, x1, y1] : {std::array{60.0f, 75.5f, 90.0f, 75.5f}, {75.5f, 60, 75.5f, 90}}) {
    auto* from = stroke->add_points()->mutable_move_to();
    from->set_x(x0), from->set_y(y0);
    auto* to = stroke->add_points()->mutable_line_to();
    to->set_x(x1), to->set_y(y1);
  }
  stroke->mutable_params()->mutable_fill()->set_none(true);
  setColor(stroke->mutable_params()->mutable_stroke(), 0, 0, 255);
  stroke->mutable_params()->set_opacity(0.5);

  auto pixels = Picture(root).shown();
  // (3, 58): the unsheared square would cover it.
  EXPECT_EQ(std::vector({pixels->pixel(27, 51), pixels->pixel(3, 58), pixels->pixel(42, 58)}),
            std::vector({kBlack, 0u, kBlack}));
  std::uint32_t crossing = pixels->pixel(75, 75), single = pixels->pixel(80, 75);
  EXPECT_EQ(crossing, single);
  EXPECT_NEAR(channel(single, 16), 128, 3);
  EXPECT_NEAR(channel(single, 0), 128, 3);

  root.mutable_params()->set_opacity(0.5);  // the root's opacity halves everything
  EXPECT_NEAR(channel(Picture(root).shown()->pixel(70, 65), 24), 128, 1);

  // A viewport at (10, 20) moves the picture; a view box at (50, 50) scales and shifts it.
  ProtoSVGRoot moved = squareRoot();
  moved.mutable_viewport()->set_x(10);
  moved.mutable_viewport()->set_y(20);
  addRect(moved.mutable_params(), 0, 0, 10, 10);
  auto shifted = Picture(moved).shown();
  EXPECT_EQ(shifted->pixel(5, 5), 0u);
  EXPECT_EQ(shifted->pixel(15, 25), kBlack);
  ProtoSVGRoot boxed = squareRoot();
  ProtoRect* box = boxed.mutable_view_box();
  box->set_x(50), box->set_y(50), box->set_width(200), box->set_height(200);
  Picture fitted(boxed);
  AffineTransform fit = fitted.renderer.fitTransform(100, 100);
  EXPECT_EQ(fit.apply(Point{50, 50}), (Point{-25, -25}));
  EXPECT_EQ(fit.apply(Point{250, 250}), (Point{75, 75}));
  Picture unit(squareRoot());
  EXPECT_EQ(unit.renderer.fitTransform(200, 100).apply(Point{100, 100}), (Point{100, 100}));
  auto image = unit.renderer.renderImage(100, 50, 2.0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 200);
  EXPECT_EQ(image->size(), (Size{100, 50}));
  EXPECT_FALSE(unit.renderer.renderImage(0.2f, 10, 2.0));
  EXPECT_FALSE(unit.renderer.renderImage(NAN, 10, 2.0));
}

TEST(SVGRendererTest, DrawingLeavesTheCanvasStateAsItWas) {
  ProtoSVGRoot root = squareRoot();
  root.mutable_params()->set_opacity(0.25);
  setMatrix(root.mutable_params()->mutable_transform(), 2, 0, 0, 2, 0, 0);
  addRect(root.mutable_params(), 0, 0, 10, 10)->mutable_params()->set_opacity(0.5);
  Picture picture(root);
  auto context = BitmapContext::create(100, 100, true);
  context->translateCTM(3, 4);
  AffineTransform before = context->getCTM();
  picture.renderer.drawInContext(*context, 50, 50);
  picture.renderer.drawInContext(*context, 50, 50);
  EXPECT_EQ(context->getCTM(), before);
  context->setFillColor(0, 1, 0, 1);
  context->fillRect(Rect(60, 60, 10, 10));  // full alpha, no clip left behind
  EXPECT_EQ(context->makeImage()->bitmap().pixel(66, 100 - 66), 0xFF00FF00u);
}

TEST(SVGRendererTest, BrokenPicturesDrawWhatTheyCan) {
  ProtoSVGRoot noViewport;  // nothing to fit into: nothing drawn
  addRect(noViewport.mutable_params(), 0, 0, 10, 10);
  EXPECT_EQ(Picture(noViewport).shown()->pixel(5, 5), 0u);

  // Coordinates that are not numbers are skipped; the rest of the picture still draws.
  ProtoSVGRoot root = squareRoot();
  addRect(root.mutable_params(), NAN, 0, 10, 10);
  ProtoSVGElementPath* curve = root.mutable_params()->add_children()->mutable_path();
  curve->add_points()->mutable_move_to()->set_x(INFINITY);
  curve->mutable_params()->mutable_transform()->set_a(NAN);
  addRect(root.mutable_params(), 50, 50, 10, 10);
  EXPECT_EQ(Picture(root).shown()->pixel(55, 55), kBlack);

  std::string bytes = root.SerializeAsString();
  EXPECT_EQ(Picture(bytes.substr(0, bytes.size() - 3)).loaded(), 0);
  EXPECT_EQ(SVGRenderer().load("/nonexistent/file.svgpb"), 0);
}
