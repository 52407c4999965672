#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/DeviceProfile.h"
#include "SVGView/SVGRenderer.h"
#include "TestSupport.h"
#include "WireBytes.h"

using namespace platform;

namespace {

constexpr std::uint32_t kRed = 0xFFFF0000u, kBlack = 0xFF000000u;

const char* kRedSquare =
    "0a 23 0a 21 12 1f 0a 07 1a 05 0a 03 08 ff 01 4a 14 0d 00 00 20 41 15 00 00 20 41 1d 00 00 a0 "
    "42 25 00 00 a0 42 12 0a 1d 00 00 c8 42 25 00 00 c8 42 1a 0a 1d 00 00 c8 42 25 00 00 c8 42";

// A picture of 100 x 100 user units shown in a 100 x 100 viewport.
ProtoSVGRoot squareRoot() {
  ProtoSVGRoot root;
  for (ProtoRect* r : {root.mutable_viewport(), root.mutable_view_box()}) {
    r->set_width(100);
    r->set_height(100);
  }
  return root;
}

ProtoSVGElementPath* addRectPath(ProtoSVGGeneralParams* parent, float x, float y, float w,
                                 float h) {
  ProtoSVGElementPath* path = parent->add_children()->mutable_path();
  ProtoRect* rect = path->mutable_rect();
  rect->set_x(x);
  rect->set_y(y);
  rect->set_width(w);
  rect->set_height(h);
  return path;
}

void setColor(ProtoSVGPaint* paint, int r, int g, int b) {
  paint->mutable_color()->set_red(r);
  paint->mutable_color()->set_green(g);
  paint->mutable_color()->set_blue(b);
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

TEST(SVGRendererTest, TheSmallestFileIsARedSquare) {
  Picture picture(svg_test::bytesFromHex(kRedSquare));
  EXPECT_EQ(picture.loaded(), 1);
  auto pixels = picture.shown();
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->pixel(10, 10), kRed);
  EXPECT_EQ(pixels->pixel(89, 89), kRed);
  EXPECT_EQ(pixels->pixel(50, 12), kRed);
  EXPECT_EQ(pixels->pixel(9, 50), 0u);
  EXPECT_EQ(pixels->pixel(90, 50), 0u);
  EXPECT_EQ(pixels->pixel(50, 95), 0u);

  // The image stores the rows upside down and says so by its orientation; older systems got
  // upright rows instead.
  DeviceProfile old = DeviceProfile::current();
  DeviceProfile profile = old;
  profile.systemVersion = "4.3";
  DeviceProfile::setCurrent(profile);
  auto upright = picture.renderer.renderImage(100, 100, 2);
  DeviceProfile::setCurrent(old);
  ASSERT_TRUE(upright);
  EXPECT_EQ(upright->orientation(), ImageOrientation::Up);
  EXPECT_EQ(upright->pixelWidth(), 200);
  EXPECT_EQ(upright->scale(), 2);
  EXPECT_EQ(upright->bitmap().pixel(30, 30), kRed);
  EXPECT_EQ(upright->bitmap().pixel(30, 185), 0u);
}

TEST(SVGRendererTest, StatesFromGroupIdentifiers) {
  using States = std::set<std::int32_t>;
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state-3"), States{3});
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("layer_state-1-4"), (States{1, 4}));
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state-2-5x-6"), (States{2, 5}));
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state- 7"), States{7});
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state-"), States{});
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("state-x"), States{});
  EXPECT_EQ(SVGRenderer::statesFromIdentifier("hero"), States{});
}

TEST(SVGRendererTest, GroupsShowByActiveStates) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  // An element with a path and a group: the path always draws, the group only by state.
  ProtoSVGElement* both = top->add_children();
  both->mutable_path()->mutable_rect()->set_width(10);
  both->mutable_path()->mutable_rect()->set_height(10);
  both->mutable_group()->set_id("state-2-5");
  addRectPath(both->mutable_group(), 20, 0, 10, 10);
  ProtoSVGGeneralParams* empty = top->add_children()->mutable_group();
  empty->set_id("state-");
  addRectPath(empty, 40, 0, 10, 10);
  ProtoSVGGeneralParams* named = top->add_children()->mutable_group();
  named->set_id("hero");
  addRectPath(named, 60, 0, 10, 10);
  ProtoSVGGeneralParams* inDefs =
      top->add_children()->mutable_defs()->add_children()->mutable_group();
  inDefs->set_id("state-9");
  addRectPath(inDefs, 80, 0, 10, 10);

  Picture picture(root);
  SVGRenderer& renderer = picture.renderer;
  EXPECT_EQ(renderer.declaredStates(), (std::set<std::int32_t>{2, 5, 9}));
  auto shows = [&](int x) { return picture.shown()->pixel(x + 5, 5) == kBlack; };
  EXPECT_TRUE(shows(0));
  EXPECT_FALSE(shows(20));
  EXPECT_TRUE(shows(40));
  EXPECT_TRUE(shows(60));
  EXPECT_FALSE(shows(80));  // definitions are never drawn
  renderer.setStateActive(5);
  EXPECT_TRUE(shows(20));
  renderer.setAllStatesInactive();
  renderer.setStateActive(3);  // undeclared: ignored
  EXPECT_TRUE(renderer.activeStates().empty());
  EXPECT_FALSE(shows(20));

  // A state a later file declares stays off until it is switched on again.
  ProtoSVGRoot later = squareRoot();
  ProtoSVGGeneralParams* seven = later.mutable_params()->add_children()->mutable_group();
  seven->set_id("state-7");
  addRectPath(seven, 0, 0, 10, 10);
  renderer.setStateActive(7);
  Picture second(later);
  second.renderer.setStateActive(7);  // a fresh renderer that has loaded it
  EXPECT_EQ(second.renderer.activeStates(), std::set<std::int32_t>{7});
  testing_support::TemporaryDirectory directory;
  svg_test::writeFile(directory.file("later.svgpb"), later.SerializeAsString());
  EXPECT_EQ(renderer.load(directory.file("later.svgpb")), 1);
  EXPECT_TRUE(renderer.activeStates().empty());
  EXPECT_TRUE(renderer.declaredStates().count(2));  // earlier files' states stay declared
  renderer.setStateActive(7);
  EXPECT_EQ(renderer.activeStates(), std::set<std::int32_t>{7});
}

TEST(SVGRendererTest, FillsAndStrokes) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  // Two overlapping squares in one path, filled without a fill paint: non-zero, no hole.
  auto overlapped = [&](float x) {
    ProtoSVGElementPath* path = top->add_children()->mutable_path();
    for (float inset : {0.0f, 5.0f}) {
      float x0 = x + inset, y0 = inset, x1 = x + 20 - inset, y1 = 20 - inset;
      auto* p = path->add_points();
      p->mutable_move_to()->set_x(x0);
      p->mutable_move_to()->set_y(y0);
      for (auto [px, py] : {std::pair{x1, y0}, {x1, y1}, {x0, y1}}) {
        auto* line = path->add_points()->mutable_line_to();
        line->set_x(px);
        line->set_y(py);
      }
      path->add_points()->set_close(true);
    }
    return path;
  };
  overlapped(0);
  overlapped(30)->mutable_params()->mutable_fill();  // a paint with neither colour nor gradient
  ProtoSVGElementPath* none = addRectPath(top, 60, 0, 20, 20);
  none->mutable_params()->mutable_fill()->set_none(true);
  setColor(none->mutable_params()->mutable_stroke(), 0, 0, 255);
  // A gradient reference that names nothing paints nothing.
  addRectPath(top, 0, 30, 20, 20)->mutable_params()->mutable_fill()->set_gradient_id("missing");
  // A circle about the origin when the centre is absent.
  top->add_children()->mutable_path()->set_r(10);

  Picture picture(root);
  auto pixels = picture.shown();
  EXPECT_EQ(pixels->pixel(10, 10), kBlack);  // non-zero: the inner square is filled
  EXPECT_EQ(pixels->pixel(40, 10), 0u);      // even-odd: a hole
  EXPECT_EQ(pixels->pixel(32, 2), kBlack);
  EXPECT_EQ(pixels->pixel(70, 10), 0u);           // not filled ...
  EXPECT_EQ(pixels->pixel(70, 0) & 0xFF, 0xFFu);  // ... but stroked in blue along its edge
  EXPECT_EQ(pixels->pixel(10, 40), 0u);
  EXPECT_EQ(pixels->pixel(1, 1), kBlack);  // the circle's quarter inside the picture
}

TEST(SVGRendererTest, GradientsAndOpacity) {
  ProtoSVGRoot root = squareRoot();
  auto* top = root.mutable_params();
  auto addGradient = [&](const std::string& id) {
    ProtoSVGElementGradient* g =
        top->add_children()->mutable_defs()->add_children()->mutable_gradient();
    g->mutable_params()->set_id(id);
    auto* from = g->add_stops();
    from->set_offset(0);
    from->mutable_color()->set_red(255);
    auto* to = g->add_stops();
    to->set_offset(1);
    to->mutable_color()->set_blue(255);
    return g;
  };
  ProtoSVGElementGradient* linear = addGradient("linear");
  linear->mutable_start()->set_x(20);
  linear->mutable_end()->set_x(80);
  linear->mutable_center()->set_x(50);  // ignored: start and end decide
  linear->set_radius(10);
  ProtoSVGElementGradient* radial = addGradient("radial");
  radial->mutable_start()->set_x(0);
  radial->mutable_center()->set_x(50);
  radial->mutable_center()->set_y(75);
  radial->set_radius(20);
  radial->mutable_stops(1)->set_opacity(0);
  addRectPath(top, 0, 0, 100, 50)->mutable_params()->mutable_fill()->set_gradient_id("linear");
  addRectPath(top, 0, 50, 100, 50)->mutable_params()->mutable_fill()->set_gradient_id("radial");

  Picture picture(root);
  picture.renderer.prepare();
  auto pixels = picture.shown();
  EXPECT_EQ(pixels->pixel(5, 10), kRed);          // extended before the start
  EXPECT_EQ(pixels->pixel(95, 10), 0xFF0000FFu);  // and after the end
  std::uint32_t middle = pixels->pixel(50, 10);
  EXPECT_NEAR(int(middle >> 16 & 0xFF), 128, 8);
  EXPECT_NEAR(int(middle & 0xFF), 128, 8);
  std::uint32_t centre = pixels->pixel(50, 75);  // radial centre: nearly the opaque first stop
  EXPECT_GT(int(centre >> 24), 235);
  EXPECT_GT(int(centre >> 16 & 0xFF), 235);
  EXPECT_LT(int(centre & 0xFF), 20);
  EXPECT_EQ(pixels->pixel(5, 95) >> 24, 0u);  // outside the radius: the transparent stop

  root.mutable_params()->set_opacity(0.5);
  Picture half(root);
  EXPECT_NEAR(int(half.shown()->pixel(5, 10) >> 24), 128, 1);
}

TEST(SVGRendererTest, FittingAndPixelSizes) {
  ProtoSVGRoot root = squareRoot();
  root.mutable_view_box()->set_x(50);
  root.mutable_view_box()->set_y(50);
  root.mutable_view_box()->set_width(200);
  root.mutable_view_box()->set_height(200);
  SVGRenderer renderer;
  Picture picture(root);
  AffineTransform fit = picture.renderer.fitTransform(100, 100);
  EXPECT_EQ(fit.apply(Point{50, 50}), (Point{-25, -25}));
  EXPECT_EQ(fit.apply(Point{250, 250}), (Point{75, 75}));

  Picture unit(squareRoot());
  AffineTransform wide = unit.renderer.fitTransform(200, 100);
  EXPECT_EQ(wide.apply(Point{0, 0}), (Point{0, 0}));  // not centred
  EXPECT_EQ(wide.apply(Point{100, 100}), (Point{100, 100}));

  auto image = unit.renderer.renderImage(100, 50, 2.0);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 200);
  EXPECT_EQ(image->pixelHeight(), 100);
  EXPECT_EQ(image->size(), (Size{100, 50}));
  EXPECT_FALSE(unit.renderer.renderImage(0.2f, 10, 2.0));
  EXPECT_FALSE(unit.renderer.renderImage(NAN, 10, 2.0));
}

TEST(SVGRendererTest, DrawingLeavesTheCanvasStateAsItWas) {
  ProtoSVGRoot root = squareRoot();
  root.mutable_params()->set_opacity(0.25);
  root.mutable_params()->mutable_transform()->set_a(2);
  root.mutable_params()->mutable_transform()->set_d(2);
  addRectPath(root.mutable_params(), 0, 0, 10, 10)->mutable_params()->set_opacity(0.5);
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
  // No viewport: nothing to fit into, nothing drawn, no crash.
  ProtoSVGRoot noViewport;
  addRectPath(noViewport.mutable_params(), 0, 0, 10, 10);
  Picture empty(noViewport);
  EXPECT_EQ(empty.shown()->pixel(5, 5), 0u);

  // Coordinates that are not numbers are skipped; the rest of the picture still draws.
  ProtoSVGRoot root = squareRoot();
  addRectPath(root.mutable_params(), NAN, 0, 10, 10);
  ProtoSVGElementPath* curve = root.mutable_params()->add_children()->mutable_path();
  curve->add_points()->mutable_move_to()->set_x(INFINITY);
  curve->mutable_params()->mutable_transform()->set_a(NAN);
  addRectPath(root.mutable_params(), 50, 50, 10, 10);
  Picture partly(root);
  EXPECT_EQ(partly.shown()->pixel(55, 55), kBlack);

  // A truncated file reports failure but draws what came before the fault.
  std::string bytes = svg_test::bytesFromHex(kRedSquare);
  Picture truncated(bytes.substr(0, bytes.size() - 3));
  EXPECT_EQ(truncated.loaded(), 0);
  SVGRenderer renderer;
  EXPECT_EQ(renderer.load("/nonexistent/file.svgpb"), 0);
}
