#include <gtest/gtest.h>
#include <pango/pangocairo.h>

#include <memory>
#include <string>
#include <vector>

#include "AppUI/BaloonView.h"
#include "AppUI/LoadingView.h"
#include "AppUI/UIItems.h"
#include "AppUI/UIViewControllerBase.h"
#include "GeneralTools/AppDelegateScreens.h"
#include "GeneralTools/Tools.h"
#include "Graphics/BitmapContext.h"
#include "RecordingTracker.h"
#include "TouchTestSupport.h"
#include "UI/StretchableImage.h"
#include "UI/UILabel.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;
using platform::testing::TouchTest;

namespace {

class FirstScreen : public UIViewControllerBase {
 public:
  std::string className() const override { return "FirstScreen"; }
};

class SecondScreen : public UIViewControllerBase {
 public:
  std::string className() const override { return "SecondScreen"; }
};

// A delegate with a navigation controller and a policy that allows what it is told.
class ScreensDelegate : public UIApplicationDelegate, public AppDelegateScreens {
 public:
  bool canUseInterfaceOrientation(UIInterfaceOrientation orientation) const override {
    asked.push_back(orientation);
    return orientation == allowed;
  }
  std::shared_ptr<UINavigationController> navigationController() const override {
    return navigation;
  }
  std::shared_ptr<UINavigationController> navigation;
  UIInterfaceOrientation allowed = UIInterfaceOrientation::PortraitUpsideDown;
  mutable std::vector<UIInterfaceOrientation> asked;
};

std::shared_ptr<Image> blankImage(int width, int height) {
  return BitmapContext::create(width, height, true)->makeImage();
}

class ScreenFoundationTest : public TouchTest {
 protected:
  void SetUp() override {
    TouchTest::SetUp();
    tracker = std::make_shared<RecordingTracker>();
    Tools::Instance().setAnalyticsTracker(tracker);
    ViewControllerRegistry::registerClass("SecondScreen",
                                          [] { return std::make_shared<SecondScreen>(); });
  }
  void TearDown() override {
    LoadingView::hide();
    Tools::Instance().setAnalyticsTracker(nullptr);
    TouchTest::TearDown();
  }
  std::shared_ptr<RecordingTracker> tracker;
};

TEST_F(ScreenFoundationTest, ScreensReportThemselvesAndEventsCarryTheVisibleScreen) {
  auto first = std::make_shared<FirstScreen>();
  auto navigation = std::make_shared<UINavigationController>(first);
  window->setRootViewController(navigation);
  EXPECT_EQ(Tools::Instance().visibleItem(), "FirstScreen");

  first->pushViewControllerNamed("SecondScreen", false);
  ASSERT_EQ(navigation->viewControllers().size(), 2u);
  // The second screen appears before the first is gone: the first must not clear it.
  EXPECT_EQ(Tools::Instance().visibleItem(), "SecondScreen");
  Tools::Instance().eventHappened("tap", std::nullopt, 3);
  Tools::Instance().sysEventHappened("AppBackground", "", 0);
  EXPECT_EQ(tracker->calls, (std::vector<std::string>{"page /FirstScreen", "page /SecondScreen",
                                                      "SecondScreen|tap|(none)|3",
                                                      "SystemEvent|AppBackground||0"}));

  auto* second = static_cast<UIViewControllerBase*>(navigation->topViewController());
  second->goBack();
  host->advanceBy(1);
  EXPECT_EQ(navigation->viewControllers().size(), 1u);
  EXPECT_EQ(Tools::Instance().visibleItem(), "FirstScreen");

  // A back-action block replaces the pop.
  first->pushViewControllerNamed("SecondScreen", false);
  second = static_cast<UIViewControllerBase*>(navigation->topViewController());
  int hidden = 0;
  second->setHideBlock([&] { ++hidden; });
  second->goBack();
  host->advanceBy(1);
  EXPECT_EQ(hidden, 1);
  EXPECT_EQ(navigation->viewControllers().size(), 2u);

  // Leaving a screen that is no longer the visible one changes nothing.
  Tools::Instance().itemDisappear(*first);
  EXPECT_EQ(Tools::Instance().visibleItem(), "SecondScreen");
}

TEST_F(ScreenFoundationTest, UnknownScreenNameEndsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto first = std::make_shared<FirstScreen>();
  window->setRootViewController(std::make_shared<UINavigationController>(first));
  EXPECT_EXIT(first->pushViewControllerNamed("NoSuchScreen", true), ::testing::ExitedWithCode(255),
              "NoSuchScreen");
}

TEST_F(ScreenFoundationTest, OrientationPolicyComesFromTheDelegateWhenItHasOne) {
  FirstScreen screen;
  EXPECT_TRUE(screen.shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
  EXPECT_FALSE(
      screen.shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::PortraitUpsideDown));

  auto delegate = std::make_shared<ScreensDelegate>();
  UIApplication::sharedApplication().setDelegate(delegate);
  EXPECT_FALSE(screen.shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::Portrait));
  EXPECT_TRUE(
      screen.shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation::PortraitUpsideDown));
  EXPECT_EQ(delegate->asked.size(), 2u);
}

TEST_F(ScreenFoundationTest, ButtonPicturesStretchAboutTheirMiddle) {
  UIButton button;
  button.setBackgroundImage(blankImage(41, 30), UIControlStateNormal);
  button.setBackgroundImage(blankImage(20, 11), UIControlStateSelected);
  UIViewControllerBase::stretchBtnsImages(button, false, true);
  auto normal = std::dynamic_pointer_cast<StretchableImage>(
      button.backgroundImageForState(UIControlStateNormal));
  ASSERT_TRUE(normal);
  EXPECT_EQ(normal->leftCapWidth(), 20);
  EXPECT_EQ(normal->topCapHeight(), 0);
  auto selected = std::dynamic_pointer_cast<StretchableImage>(
      button.backgroundImageForState(UIControlStateSelected));
  ASSERT_TRUE(selected);
  EXPECT_EQ(selected->leftCapWidth(), 10);

  UIViewControllerBase::stretchBtnsImages(button, true, false, UIControlStateSelected);
  selected = std::dynamic_pointer_cast<StretchableImage>(
      button.backgroundImageForState(UIControlStateSelected));
  EXPECT_EQ(selected->leftCapWidth(), 0);
  EXPECT_EQ(selected->topCapHeight(), 5);
}

TEST(UIItemsTest, ButtonsAreStyledByTagAndTheTitleFontIsCondensedBold) {
  auto root = std::make_shared<UIView>();
  auto container = std::make_shared<UIView>();
  root->addSubview(container);
  auto main = std::make_shared<UIButton>();
  main->setTag(3000);
  container->addSubview(main);
  auto tab = std::make_shared<UIButton>();
  tab->setTag(3001);
  root->addSubview(tab);
  auto background = std::make_shared<UIButton>();
  background->setTag(2000);
  root->addSubview(background);
  auto label = std::make_shared<UILabel>();
  label->setTag(3000);
  root->addSubview(label);
  // A tagged button inside another button is the outer button's business.
  auto inner = std::make_shared<UIButton>();
  inner->setTag(3000);
  tab->addSubview(inner);
  UIFont labelFont = label->font();
  UIFont innerFont = inner->titleLabel()->font();

  UIItems::configureViews(*root);
  EXPECT_EQ(main->titleLabel()->font(), UIFont("HelveticaNeue-CondensedBold", 35));
  EXPECT_EQ(tab->titleLabel()->font(), UIFont("HelveticaNeue-CondensedBold", 20));
  EXPECT_EQ(background->titleLabel()->font(), UIFont("HelveticaNeue-CondensedBold", 18));
  EXPECT_EQ(label->font(), labelFont);
  EXPECT_EQ(inner->titleLabel()->font(), innerFont);

  // The face fontconfig really picks for the title font.
  PangoFontMap* map = pango_cairo_font_map_new();
  PangoContext* context = pango_font_map_create_context(map);
  PangoFontDescription* wanted =
      pango_font_description_from_string(main->titleLabel()->font().pangoDescription().c_str());
  PangoFont* font = pango_font_map_load_font(map, context, wanted);
  ASSERT_TRUE(font);
  PangoFontDescription* got = pango_font_describe(font);
  EXPECT_EQ(pango_font_description_get_weight(got), PANGO_WEIGHT_BOLD);
  EXPECT_LT(pango_font_description_get_stretch(got), PANGO_STRETCH_NORMAL);
  pango_font_description_free(got);
  g_object_unref(font);
  pango_font_description_free(wanted);
  g_object_unref(context);
  g_object_unref(map);
}

TEST_F(ScreenFoundationTest, LoadingIndicatorCoversOneScreenAtATime) {
  LoadingView::hide();  // nothing shown: nothing happens
  auto first = std::make_shared<UIView>(Rect(0, 0, 320, 460));
  auto second = std::make_shared<UIView>(Rect(0, 0, 320, 568));
  window->addSubview(first);
  window->addSubview(second);

  LoadingView::showInView(*first);
  const auto& loading = LoadingView::sharedView();
  EXPECT_EQ(loading->superview(), first.get());
  EXPECT_DOUBLE_EQ(loading->frame().origin.x, 96);
  EXPECT_NEAR(loading->frame().origin.y, 113.333, 0.001);
  EXPECT_EQ(loading->frame().size, Size(128, 120));
  EXPECT_FALSE(first->isUserInteractionEnabled());
  EXPECT_DOUBLE_EQ(loading->alpha(), 1);
  EXPECT_FALSE(loading->layer().animationKeys().empty());  // fading in
  host->advanceBy(0.3);
  EXPECT_TRUE(loading->layer().animationKeys().empty());

  // Moving on leaves the first screen without touches until the indicator is hidden.
  LoadingView::showInView(*second);
  EXPECT_EQ(loading->superview(), second.get());
  EXPECT_DOUBLE_EQ(loading->frame().origin.y, (568 - 120) / 3.0);
  LoadingView::hide();
  EXPECT_EQ(loading->superview(), nullptr);
  EXPECT_TRUE(second->isUserInteractionEnabled());
  EXPECT_FALSE(first->isUserInteractionEnabled());

  // show() finds the navigation controller through the application delegate.
  LoadingView::show();
  EXPECT_EQ(loading->superview(), nullptr);
  auto delegate = std::make_shared<ScreensDelegate>();
  delegate->navigation = std::make_shared<UINavigationController>(std::make_shared<FirstScreen>());
  UIApplication::sharedApplication().setDelegate(delegate);
  LoadingView::show();
  EXPECT_EQ(loading->superview(), delegate->navigation->view().get());
}

TEST_F(ScreenFoundationTest, BalloonPointsBelowTheMiddleOfTheRectanglesTopEdge) {
  auto screen = std::make_shared<UIView>(Rect(0, 0, 320, 480));
  window->addSubview(screen);
  auto balloon = std::make_shared<BaloonView>(Rect(0, 0, 200, 60));
  balloon->setLeftImage(blankImage(30, 10), 12.7);
  balloon->setRightImage(blankImage(30, 10), 12.7);
  balloon->setCenterImage(blankImage(20, 10));
  auto content = std::make_shared<UIView>(Rect(0, 0, 200, 60));

  balloon->showAtView(*screen, content, Rect(100, 300, 40, 40), false);
  EXPECT_EQ(balloon->superview(), screen.get());
  EXPECT_EQ(content->superview(), balloon.get());
  // The middle of the top edge is x 120; the balloon is 200 wide on a 320 screen, so the
  // pointer sits 40 left of the balloon's middle.
  EXPECT_EQ(balloon->centerImageView().frame(), Rect(50, 0, 20, 10));
  EXPECT_EQ(balloon->leftImageView().frame(), Rect(0, 0, 50, 10));
  EXPECT_EQ(balloon->rightImageView().frame(), Rect(70, 0, 130, 10));
  EXPECT_EQ(balloon->convertPointToView(Point(60, 10), screen.get()), Point(120, 305));
  auto left = std::dynamic_pointer_cast<StretchableImage>(balloon->leftImageView().image());
  auto right = std::dynamic_pointer_cast<StretchableImage>(balloon->rightImageView().image());
  ASSERT_TRUE(left && right);
  EXPECT_EQ(left->leftCapWidth(), 12);
  EXPECT_EQ(right->leftCapWidth(), 1);

  // Another content view replaces the first, which leaves the balloon.
  auto other = std::make_shared<UIView>(Rect(0, 0, 100, 40));
  balloon->showAtView(*screen, other, Rect(0, 100, 40, 20), true);
  EXPECT_EQ(content->superview(), nullptr);
  EXPECT_EQ(balloon->contentView(), other);
  host->advanceBy(1);
  EXPECT_EQ(
      balloon->convertPointToView(Point(other->bounds().size.width / 2 - 140, 10), screen.get()),
      Point(20, 105));
}

}  // namespace
