#include <gtest/gtest.h>

#include "Foundation/RunLoop.h"
#include "SVGView/SVGView.h"
#include "TestSupport.h"
#include "UI/Compositor.h"
#include "UI/UIApplication.h"
#include "UI/UIWindow.h"
#include "WireBytes.h"
#include "svg.pb.h"

using namespace platform;

namespace {

constexpr std::uint32_t kGreen = 0xFF00FF00u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu,
                        kBlack = 0xFF000000u;

using svg_test::addRect;
using svg_test::setColor;

// 100 x 100 user units: a green bar along the top always; a red left half below it in state 1,
// a blue right half in state 2.
std::string statePicture() {
  ProtoSVGRoot root = svg_test::squareRoot();
  ProtoSVGGeneralParams* top = root.mutable_params();
  setColor(addRect(top, 0, 0, 100, 20)->mutable_params()->mutable_fill(), 0, 255, 0);
  auto group = [&](const char* id) {
    ProtoSVGGeneralParams* params = top->add_children()->mutable_group();
    params->set_id(id);
    return params;
  };
  setColor(addRect(group("state-1"), 0, 20, 50, 80)->mutable_params()->mutable_fill(), 255, 0, 0);
  setColor(addRect(group("state-2"), 50, 20, 50, 80)->mutable_params()->mutable_fill(), 0, 0, 255);
  return root.SerializeAsString();
}

// The picture in an SVGView of 50 x 50 points at (10, 10) of a black 80 x 80 window, drawn by
// the compositor at scale 2.
class SVGViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(svg_test::writeFile(_directory.file("states.svgpb"), statePicture()));
    UIApplication::sharedApplication().setStatusBarHidden(true);
    _window = std::make_shared<UIWindow>(Rect(0, 0, 80, 80));
    _window->setBackgroundColor(UIColor::blackColor());
    _view = std::make_shared<SVGView>(Rect(10, 10, 50, 50));
    _view->setSvgFile(_directory.file("states.svgpb"));
    _window->addSubview(_view);
  }
  void TearDown() override { UIApplication::sharedApplication().reset(); }

  // The colours shown in the bar, the left half and the right half of the picture.
  std::vector<std::uint32_t> shown() {
    _image = _compositor.renderWindow(*_window, 2, RunLoop::main().now());
    if (!_image) return {};
    auto at = [&](double x, double y) {
      return _image->bitmap().pixel(static_cast<int>(x * 2), static_cast<int>(y * 2));
    };
    return {at(35, 14), at(22, 45), at(48, 45)};
  }
  std::vector<std::uint32_t> redrawn() {
    _view->setNeedsDisplay();
    return shown();
  }

  testing_support::TemporaryDirectory _directory;
  testing_support::ScopedScreenScale _scale{2};
  std::shared_ptr<UIWindow> _window;
  std::shared_ptr<SVGView> _view;
  Compositor _compositor;
  std::shared_ptr<Image> _image;
};

using Colors = std::vector<std::uint32_t>;

}  // namespace

TEST_F(SVGViewTest, DrawsEachStatesGroupsOnlyWhileActiveAndRedrawsOnlyWhenAsked) {
  EXPECT_EQ(shown(), (Colors{kGreen, kBlack, kBlack}));
  _view->setStateActive(1);
  EXPECT_EQ(redrawn(), (Colors{kGreen, kRed, kBlack}));
  _view->setState(2, true);
  EXPECT_EQ(redrawn(), (Colors{kGreen, kRed, kBlue}));
  _view->setStateInactive(1);
  EXPECT_EQ(redrawn(), (Colors{kGreen, kBlack, kBlue}));
  _view->setAllStatesInactive();
  _view->setStateActive(7);  // not declared by the picture: nothing shows
  EXPECT_EQ(redrawn(), (Colors{kGreen, kBlack, kBlack}));
  // Emptied, or given a file that is not there, the view draws nothing.
  for (std::optional<std::string> file :
       {std::optional<std::string>(), std::optional(_directory.file("missing.svgpb"))}) {
    _view->setSvgFile(file);
    EXPECT_EQ(redrawn(), (Colors{kBlack, kBlack, kBlack}));
  }
  // Moving the view composites the same bitmap again; a state change shows after a redraw.
  _view->setSvgFile(_directory.file("states.svgpb"));
  EXPECT_EQ(redrawn(), (Colors{kGreen, kBlack, kBlack}));
  auto raster = _view->layer().rasterCache().image;
  ASSERT_TRUE(raster);
  _view->setCenter(Point{40, 40});
  _view->setStateActive(2);
  EXPECT_EQ(shown()[0], kBlack);  // the bar moved away from (35, 14)
  EXPECT_EQ(_view->layer().rasterCache().image, raster);
  EXPECT_EQ(_image->bitmap().pixel(2 * 60, 2 * 50), kBlack);  // state 2 not drawn yet
  redrawn();
  EXPECT_NE(_view->layer().rasterCache().image, raster);
  EXPECT_EQ(_image->bitmap().pixel(2 * 60, 2 * 50), kBlue);
}
