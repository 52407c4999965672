#include <gtest/gtest.h>

#include <cmath>

#include "Foundation/RunLoop.h"
#include "Graphics/ImageEncoder.h"
#include "Graphics/TextRenderer.h"
#include "TestSupport.h"
#include "UI/Compositor.h"
#include "UI/StretchableImage.h"
#include "UI/UIActivityIndicatorView.h"
#include "UI/UIApplication.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"
#include "UI/UIPageControl.h"
#include "UI/UIWindow.h"

using namespace platform;

using testing_support::near;

namespace {

constexpr std::uint32_t kBlack = 0xFF000000u, kRed = 0xFFFF0000u, kBlue = 0xFF0000FFu,
                        kWhite = 0xFFFFFFFFu, kGreen = 0xFF00FF00u;

std::shared_ptr<Image> solid(int w, int h, std::uint32_t argb, double scale = 1) {
  auto bitmap = Bitmap::create(w, h, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) bitmap->setPixel(x, y, argb);
  return Image::imageWithBitmap(bitmap, scale);
}

class CompositorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UIApplication::sharedApplication().setStatusBarHidden(true);
    _window = std::make_shared<UIWindow>(Rect(0, 0, 40, 40));
  }
  void TearDown() override {
    UIApplication::sharedApplication().reset();
    RunLoop::main().runPending();
  }
  std::shared_ptr<Image> render(double scale = 1) {
    return _compositor.renderWindow(*_window, scale, RunLoop::main().now());
  }
  std::shared_ptr<UIView> colored(Rect frame, UIColor color) {
    auto view = std::make_shared<UIView>(frame);
    view->setBackgroundColor(color);
    return view;
  }
  void advance(double seconds) {
    RunLoop::main().advanceBy(seconds);
    RunLoop::main().runPending();
  }

  testing_support::VirtualTime _time;
  std::shared_ptr<UIWindow> _window;
  Compositor _compositor;
  testing_support::ScopedScreenScale _scale{1};
};

}  // namespace

TEST_F(CompositorTest, DrawsBackgroundsAtTheScreensScaleWithOpacityMultipliedDownTheTree) {
  _window->addSubview(colored(Rect(10, 10, 20, 20), UIColor::redColor()));
  auto parent = colored(Rect(0, 0, 40, 40), UIColor::clearColor());
  parent->setAlpha(0.5);
  auto child = colored(Rect(0, 0, 5, 5), UIColor::whiteColor());
  child->setAlpha(0.5);
  parent->addSubview(child);
  _window->addSubview(parent);
  auto image = render(2);
  ASSERT_TRUE(image);
  EXPECT_EQ(image->pixelWidth(), 80);
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->bitmap().pixel(19, 19), kBlack);
  EXPECT_EQ(image->bitmap().pixel(20, 20), kRed);
  EXPECT_EQ(image->bitmap().pixel(59, 59), kRed);
  EXPECT_EQ(image->bitmap().pixel(60, 60), kBlack);
  EXPECT_TRUE(near(image->bitmap().pixel(5, 5), 0xFF404040u))
      << std::hex << image->bitmap().pixel(5, 5);
}

TEST_F(CompositorTest, TransformsActAboutTheCentreAndClippingCutsChildren) {
  auto view = colored(Rect(0, 0, 40, 40), UIColor::redColor());
  view->setTransform(AffineTransform::makeScale(0.5, 0.5));
  _window->addSubview(view);
  auto image = render();
  EXPECT_EQ(image->bitmap().pixel(9, 20), kBlack);
  EXPECT_EQ(image->bitmap().pixel(10, 20), kRed);
  EXPECT_EQ(image->bitmap().pixel(29, 29), kRed);
  EXPECT_EQ(image->bitmap().pixel(30, 30), kBlack);

  view->setTransform(AffineTransform{});
  view->setFrame(Rect(0, 0, 20, 20));
  view->setClipsToBounds(true);
  view->addSubview(colored(Rect(10, 10, 30, 30), UIColor::blueColor()));
  image = render();
  EXPECT_EQ(image->bitmap().pixel(15, 15), kBlue);
  EXPECT_EQ(image->bitmap().pixel(25, 25), kBlack);
}

TEST_F(CompositorTest, DrawsPresentationValuesHalfwayThroughAnAnimation) {
  auto view = colored(Rect(0, 0, 10, 10), UIColor::whiteColor());
  _window->addSubview(view);
  UIView::animateWithDuration(
      1.0, 0, UIViewAnimationOptionCurveLinear,
      [&] {
        view->setCenter(Point{25, 5});
      },
      nullptr);
  advance(0.5);
  auto image = render();
  // Halfway from x 0..10 to 20..30: at 10..20.
  EXPECT_EQ(image->bitmap().pixel(9, 5), kBlack);
  EXPECT_EQ(image->bitmap().pixel(10, 5), kWhite);
  EXPECT_EQ(image->bitmap().pixel(19, 5), kWhite);
  EXPECT_EQ(image->bitmap().pixel(20, 5), kBlack);
  // Rendering a layer into a context shows the model values.
  auto context = BitmapContext::create(40, 40, true);
  context->translateCTM(0, 40);
  context->scaleCTM(1, -1);
  _window->layer().renderInContext(*context);
  auto model = context->makeImage();
  EXPECT_EQ(model->bitmap().pixel(25, 5), kWhite);
  EXPECT_EQ(model->bitmap().pixel(15, 5) >> 24, 0u);
}

TEST_F(CompositorTest, PushFromRightHalfwayShowsHalfOfEachLook) {
  auto box = std::make_shared<UIView>(Rect(0, 0, 40, 40));
  auto content = colored(Rect(0, 0, 40, 40), UIColor::redColor());
  box->addSubview(content);
  _window->addSubview(box);
  auto transition = CATransition::animation();
  transition->setType(kCATransitionPush);
  transition->setSubtype(kCATransitionFromRight);
  transition->setDuration(1.0);
  box->layer().addAnimation(transition, "");
  content->setBackgroundColor(UIColor::blueColor());
  advance(0.5);
  auto image = render();
  EXPECT_EQ(image->bitmap().pixel(5, 20), kRed);    // the old look leaving to the left
  EXPECT_EQ(image->bitmap().pixel(35, 20), kBlue);  // the new one arriving from the right
  advance(0.5);
  image = render();
  EXPECT_EQ(image->bitmap().pixel(5, 20), kBlue);
}

TEST_F(CompositorTest, FadeHalfwayMixesBothLooks) {
  auto box = colored(Rect(0, 0, 40, 40), UIColor::whiteColor());
  _window->addSubview(box);
  auto transition = CATransition::animation();
  transition->setDuration(1.0);
  box->layer().addAnimation(transition, "");
  box->setBackgroundColor(UIColor::blackColor());
  advance(0.5);
  auto image = render();
  EXPECT_TRUE(near(image->bitmap().pixel(20, 20), 0xFF808080u, 4))
      << std::hex << image->bitmap().pixel(20, 20);
}

TEST_F(CompositorTest, RasterizedLayersAreReusedUntilTheyChange) {
  auto group = colored(Rect(0, 0, 40, 40), UIColor::redColor());
  auto child = colored(Rect(0, 0, 10, 10), UIColor::greenColor());
  group->addSubview(child);
  group->layer().setShouldRasterize(true);
  _window->addSubview(group);
  render();
  auto cached = group->layer().rasterCache().image;
  ASSERT_TRUE(cached);
  render();
  EXPECT_EQ(group->layer().rasterCache().image, cached);
  child->setBackgroundColor(UIColor::blueColor());
  EXPECT_FALSE(group->layer().rasterCache().image);
  auto image = render();
  EXPECT_EQ(image->bitmap().pixel(5, 5), kBlue);
  EXPECT_NE(group->layer().rasterCache().image, cached);
}

TEST_F(CompositorTest, ImageViewContentModesAndStretchableCaps) {
  // A 2x1-point picture at scale 2 (4x2 pixels) in a 40x40 view.
  auto view = std::make_shared<UIImageView>(Rect(0, 0, 40, 40));
  view->setImage(solid(4, 2, kGreen, 2));
  _window->addSubview(view);
  view->setContentMode(UIViewContentMode::ScaleAspectFit);
  auto image = render();
  EXPECT_EQ(image->bitmap().pixel(20, 5), kBlack);
  EXPECT_EQ(image->bitmap().pixel(20, 15), kGreen);
  EXPECT_EQ(image->bitmap().pixel(20, 29), kGreen);
  EXPECT_EQ(image->bitmap().pixel(20, 35), kBlack);
  view->setImage(solid(4, 4, kGreen, 2));  // 2x2 points
  view->setContentMode(UIViewContentMode::Center);
  image = render();
  EXPECT_EQ(image->bitmap().pixel(19, 19), kGreen);
  EXPECT_EQ(image->bitmap().pixel(20, 20), kGreen);
  EXPECT_EQ(image->bitmap().pixel(21, 20), kBlack);
  EXPECT_EQ(image->bitmap().pixel(19, 18), kBlack);

  // 5x1 picture: red cap, green middle column, three blue columns on the right; stretched to 40.
  auto bitmap = Bitmap::create(5, 1, PixelFormat::ARGB32Premultiplied);
  for (int x = 0; x < 5; ++x) bitmap->setPixel(x, 0, x == 0 ? kRed : x == 1 ? kGreen : kBlue);
  view->setImage(
      StretchableImage::stretchableImageWithLeftCapWidth(Image::imageWithBitmap(bitmap), 1, 0));
  view->setFrame(Rect(0, 0, 40, 10));
  view->setContentMode(UIViewContentMode::ScaleToFill);
  image = render();
  const std::pair<int, std::uint32_t> columns[] = {
      {0, kRed}, {2, kGreen}, {36, kGreen}, {37, kBlue}, {39, kBlue}};
  for (auto [x, colour] : columns) EXPECT_EQ(image->bitmap().pixel(x, 5), colour) << x;
}

TEST_F(CompositorTest, LabelsDrawTheirTextInsideTheirBounds) {
  _window->setFrame(Rect(0, 0, 120, 40));
  auto label = std::make_shared<UILabel>(Rect(10, 10, 100, 20));
  label->setText("Hello");
  label->setTextColor(UIColor::whiteColor());
  label->setFont(UIFont::boldSystemFontOfSize(16));
  _window->addSubview(label);
  auto image = render();
  int inked = 0, outside = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      bool lit = (image->bitmap().pixel(x, y) & 0xFF) > 0x80;
      bool inside = x >= 10 && x < 110 && y >= 10 && y < 30;
      (inside ? inked : outside) += lit;
    }
  EXPECT_GT(inked, 40);
  EXPECT_EQ(outside, 0);
  Size size = label->sizeThatFits(Size{});
  EXPECT_GT(size.width, 20);
  EXPECT_LT(size.width, 100);
  // Right alignment moves the ink to the right half.
  label->setTextAlignment(NSTextAlignment::Right);
  image = render();
  EXPECT_EQ(image->bitmap().pixel(12, 20) & 0xFF, 0u);
}

TEST_F(CompositorTest, PageControlDotsAndTheStatusBarFollowTheirState) {
  auto dots = std::make_shared<UIPageControl>(Rect(0, 0, 40, 40));
  dots->setNumberOfPages(2);
  dots->setCurrentPage(1);
  _window->addSubview(dots);
  auto image = render();
  Rect first = dots->dotRect(0), second = dots->dotRect(1);
  auto at = [&](const Rect& r) {
    return image->bitmap().pixel(static_cast<int>(r.midX()), static_cast<int>(r.midY()));
  };
  EXPECT_EQ(at(second), kWhite);
  EXPECT_TRUE(near(at(first), 0xFF4D4D4Du, 3)) << std::hex << at(first);

  dots->removeFromSuperview();
  _window->setFrame(Rect(0, 0, 100, 40));
  _window->setBackgroundColor(UIColor::whiteColor());
  UIApplication::sharedApplication().setStatusBarHidden(false);
  UIApplication::sharedApplication().setStatusBarStyle(UIStatusBarStyle::BlackOpaque);
  image = render();
  EXPECT_EQ(image->bitmap().pixel(50, 2), kBlack);
  EXPECT_EQ(image->bitmap().pixel(50, 25), kWhite);
  UIApplication::sharedApplication().setStatusBarHidden(true);
  EXPECT_EQ(render()->bitmap().pixel(50, 2), kWhite);
}

TEST_F(CompositorTest, SizesWithoutAPixelCountGiveNoPictureAndLaterOnesDraw) {
  auto child = colored(Rect(0, 0, 10, 10), UIColor::redColor());
  _window->addSubview(child);
  EXPECT_FALSE(render(std::nan("")));
  child->setFrame(Rect(0, 0, 1e300, 10));
  _window->setFrame(Rect(0, 0, 1e300, 40));
  EXPECT_FALSE(render());
  child->setFrame(Rect(0, 0, 10, 10));
  _window->setFrame(Rect(0, 0, 40, 40));
  auto image = render();
  ASSERT_TRUE(image);
  EXPECT_EQ(image->bitmap().pixel(5, 5), kRed);
}

TEST_F(CompositorTest, IncrementalFramesMatchFullOnesPixelForPixel) {
  // A screen with rotated, clipped, spilling, rasterized and text views, changed step by step;
  // after each step the frame drawn only where things changed must equal one drawn whole.
  constexpr double kScale = 1.5;
  UIApplication& app = UIApplication::sharedApplication();
  app.setStatusBarHidden(false);
  _window = std::make_shared<UIWindow>(Rect(0, 0, 160, 240));
  _window->setBackgroundColor(UIColor{0.1, 0.2, 0.3, 1});
  auto panel = colored(Rect(10, 30, 100, 80), UIColor::colorWithWhite(1, 0.4));
  panel->setClipsToBounds(true);
  panel->layer().setCornerRadius(8);
  auto spill = colored(Rect(70, 40, 60, 60), UIColor::redColor());  // cut by the panel
  panel->addSubview(spill);
  auto turned = colored(Rect(60, 130, 50, 30), UIColor::greenColor());
  turned->setTransform(AffineTransform::makeRotation(0.4));
  auto picture = std::make_shared<UIImageView>(Rect(20, 170, 20, 20));
  picture->setContentMode(UIViewContentMode::Center);
  picture->setImage(solid(60, 60, kBlue, 1));  // spills over its bounds
  auto label = std::make_shared<UILabel>(Rect(10, 200, 140, 24));
  label->setText("Before");
  auto group = colored(Rect(120, 120, 30, 60), UIColor::blueColor());
  group->addSubview(colored(Rect(5, 5, 10, 10), UIColor::whiteColor()));
  group->layer().setShouldRasterize(true);
  auto spinner = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::Gray);
  spinner->setCenter(Point{130, 60});
  for (auto& view : {panel, turned, std::shared_ptr<UIView>(picture),
                     std::shared_ptr<UIView>(label), group, std::shared_ptr<UIView>(spinner)})
    _window->addSubview(view);

  Compositor incremental, full;
  double canvasArea = 240 * 360;
  auto check = [&](const std::string& step) -> double {
    double now = RunLoop::main().now();
    auto damage = incremental.updateWindow(*_window, kScale, now);
    auto whole = full.renderWindow(*_window, kScale, now);
    auto drawn = incremental.canvas()->makeImage();
    const Bitmap &a = drawn->bitmap(), &b = whole->bitmap();
    int differing = 0;
    for (int y = 0; y < b.height(); ++y)
      for (int x = 0; x < b.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    EXPECT_EQ(differing, 0) << "after " << step;
    double area = 0;
    for (const Rect& r : damage) area += r.width() * r.height();
    return area / canvasArea;
  };

  EXPECT_EQ(check("the first frame"), 1.0);
  EXPECT_EQ(check("nothing"), 0.0);
  spinner->startAnimating();
  check("showing the spinner");
  advance(1.0 / 12);
  EXPECT_LT(check("a step of the spinner"), 0.05);
  spill->setCenter(Point{20, 20});
  turned->setTransform(AffineTransform::makeRotation(-0.3));
  check("moving and turning");
  panel->setAlpha(0.5);
  EXPECT_LT(check("fading the panel"), 0.5);
  auto added = colored(Rect(30, 60, 40, 40), UIColor{1, 1, 0, 1});
  _window->insertSubview(added, 1);
  check("adding a view under others");
  _window->bringSubviewToFront(added.get());
  check("bringing it to the front");
  added->removeFromSuperview();
  picture->setHidden(true);
  check("removing and hiding");
  picture->setHidden(false);
  label->setText("After");
  group->subviews().front()->setBackgroundColor(UIColor::redColor());
  check("text and a change inside a rasterized layer");
  UIView::animateWithDuration(1, [&] {
    turned->setCenter(Point{100, 60});
    panel->setAlpha(1);
  });
  for (int i = 0; i < 3; ++i) {
    advance(0.3);
    check("an animation step");
  }
  advance(0.2);
  check("the end of the animation");
  auto push = CATransition::animation();
  push->setType(kCATransitionPush);
  push->setSubtype(kCATransitionFromLeft);
  push->setDuration(1);
  panel->layer().addAnimation(push, "");
  spill->setBackgroundColor(UIColor::greenColor());
  auto fade = CATransition::animation();
  fade->setDuration(1);
  group->layer().addAnimation(fade, "");
  group->setBackgroundColor(UIColor::whiteColor());
  for (int i = 0; i < 3; ++i) {
    advance(0.4);
    check("a transition step");
  }
  app.setStatusBarStyle(UIStatusBarStyle::BlackOpaque);
  spinner->stopAnimating();
  check("the status bar and a stopped spinner");
}

TEST_F(CompositorTest, ALabelThatAdjustsSetsAWideTextSmallerInsteadOfCuttingIt) {
  // "Backgrounds" at 35 points is wider than 40: the adjusting label draws it as a label with
  // the smaller size does, and unlike one that cuts it.
  auto labelWith = [&](double size, bool adjusts) {
    auto label = std::make_shared<UILabel>(Rect(0, 0, 40, 40));
    label->setText("Backgrounds");
    label->setFont(UIFont("HelveticaNeue-CondensedBold", size));
    label->setTextColor(UIColor::whiteColor());
    label->setAdjustsFontSizeToFitWidth(adjusts);
    label->setMinimumFontSize(4);
    for (const auto& child : std::vector<std::shared_ptr<UIView>>(_window->subviews()))
      child->removeFromSuperview();
    _window->addSubview(label);
    auto picture = render();
    const Bitmap& pixels = picture->bitmap();
    return std::vector<std::uint8_t>(pixels.data(),
                                     pixels.data() + pixels.bytesPerRow() * pixels.height());
  };
  double natural =
      TextRenderer::sizeOfText("Backgrounds", {UIFont("HelveticaNeue-CondensedBold", 35)}, 0).width;
  auto adjusted = labelWith(35, true);
  EXPECT_EQ(adjusted, labelWith(std::floor(35 * 40 / natural), false));
  EXPECT_NE(adjusted, labelWith(35, false));
}
