#include <gtest/gtest.h>

#include <fstream>

#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UINavigationController.h"
#include "UI/UIScreen.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;
using namespace platform::testing;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

namespace {

// Writes its appearance calls into a shared log, prefixed with its name.
class Screen : public UIViewController {
 public:
  Screen(std::string name, std::vector<std::string>& log) : _name(std::move(name)), _log(log) {}
  std::string className() const override { return "Screen"; }
  void viewDidLoad() override { _log.push_back(_name + ".didLoad"); }
  void viewWillAppear(bool) override { _log.push_back(_name + ".willAppear"); }
  void viewDidAppear(bool) override { _log.push_back(_name + ".didAppear"); }
  void viewWillDisappear(bool) override { _log.push_back(_name + ".willDisappear"); }
  void viewDidDisappear(bool) override { _log.push_back(_name + ".didDisappear"); }

 private:
  std::string _name;
  std::vector<std::string>& _log;
};

// Binds its interface file's "title" label and counts its "save" action into `saves`.
class TitledScreen : public UIViewController {
 public:
  explicit TitledScreen(int* saves = nullptr) : _saves(saves) {}
  std::string className() const override { return "TitledScreen"; }
  void registerOutlets(OutletRegistry& outlets) override {
    UIViewController::registerOutlets(outlets);
    outlets.add("title", title);
  }
  void registerActions(ActionRegistry& actions) override {
    actions.add("save", [this](UIControl&) { ++*_saves; });
  }
  std::shared_ptr<UILabel> title;

 private:
  int* _saves;
};

// A screen that would turn any way.
class TurningScreen : public UIViewController {
 public:
  bool shouldAutorotateToInterfaceOrientation(UIInterfaceOrientation) override { return true; }
};

// Answers the orientations it was given, or leaves them to the screens.
class OrientationDelegate : public UIApplicationDelegate {
 public:
  std::optional<UIInterfaceOrientationMask> applicationSupportedInterfaceOrientations(
      UIApplication&, UIWindow*) override {
    return answer;
  }
  std::optional<UIInterfaceOrientationMask> answer;
};

class ScreenTest : public TouchTest {
 protected:
  std::shared_ptr<Screen> screen(const std::string& name) {
    return std::make_shared<Screen>(name, log);
  }
  // The calls heard since the last take, in order, separated by spaces.
  std::string take() {
    std::string joined;
    for (const auto& call : std::exchange(log, {})) joined += (joined.empty() ? "" : " ") + call;
    return joined;
  }
  // A bundle whose TitledScreen.ui holds a label and a button that calls "save".
  std::shared_ptr<Bundle> titledBundle() {
    writeTextFile(dir.file("TitledScreen.ui"), R"(<interface>
  <UIView outlet="view" frame="0 0 320 460">
    <UILabel outlet="title" frame="10 10 300 30" text="Hello"/>
    <UIButton frame="20 100 120 44" title="Save" action="save"/>
  </UIView>
</interface>)");
    return Bundle::bundleWithPath(dir.path());
  }
  std::vector<std::string> log;
  TemporaryDirectory dir;
};

}  // namespace

TEST_F(ScreenTest, ViewComesFromTheInterfaceFileNamedLikeTheClass) {
  auto bundle = titledBundle();
  writeTextFile(dir.file("Other.ui"),
                R"(<interface><UIView frame="0 0 100 100" tag="7"/></interface>)");
  ViewControllerRegistry::registerClass("TitledScreen",
                                        [] { return std::make_shared<TitledScreen>(); });
  auto titled = std::dynamic_pointer_cast<TitledScreen>(
      ViewControllerRegistry::create("TitledScreen", std::nullopt, bundle));
  ASSERT_TRUE(titled);
  EXPECT_FALSE(titled->isViewLoaded());
  EXPECT_EQ(titled->view()->bounds().size, (Size{320, 460}));
  ASSERT_TRUE(titled->title);
  EXPECT_EQ(titled->title->text(), "Hello");
  EXPECT_EQ(titled->title->superview(), titled->view().get());
  EXPECT_EQ(titled->view()->owningController(), titled.get());
  EXPECT_TRUE(std::dynamic_pointer_cast<UINavigationController>(
      ViewControllerRegistry::create("UINavigationController")));

  // Another file by name; its first top-level view when no "view" outlet is bound.
  auto other = std::make_shared<UIViewController>();
  other->initWithNibName("Other", bundle);
  EXPECT_EQ(other->view()->tag(), 7);

  // No file: an empty view the size of the application frame.
  auto plain = std::make_shared<UIViewController>();
  plain->initWithNibName(std::nullopt, bundle);
  EXPECT_EQ(plain->view()->frame(), UIScreen::mainScreen().applicationFrame());
  EXPECT_TRUE(plain->view()->subviews().empty());

  // A bad file or an unknown class name: nothing made or bound, and a message.
  ConsoleCapture console;
  writeTextFile(dir.file("TitledScreen.ui"), "<interface><UILabel outlet=\"nope\"/></interface>");
  auto bad = std::make_shared<TitledScreen>();
  bad->initWithNibName(std::nullopt, bundle);
  EXPECT_TRUE(bad->view()->subviews().empty());
  EXPECT_FALSE(bad->title);
  size_t messages = console.lines().size();
  EXPECT_GT(messages, 0u);
  EXPECT_FALSE(ViewControllerRegistry::create("NoSuchScreen"));
  EXPECT_FALSE(ViewControllerRegistry::isRegistered("NoSuchScreen"));
  EXPECT_EQ(console.lines().size(), messages + 1);
}

TEST_F(ScreenTest, AButtonOfTheInterfaceFileRunsTheScreensActionWhileTheScreenLives) {
  int saves = 0;
  auto screen = std::make_shared<TitledScreen>(&saves);
  screen->initWithNibName(std::nullopt, titledBundle());
  window->setRootViewController(screen);
  host->tap(Point{80, 122});
  EXPECT_EQ(saves, 1);
  // The view outlives its screen: the button stays, the action no longer runs.
  std::shared_ptr<UIView> kept = screen->view();
  window->setRootViewController(nullptr);
  screen.reset();
  window->addSubview(kept);
  host->tap(Point{80, 122});
  EXPECT_EQ(saves, 1);
}

TEST_F(ScreenTest, NavigationPushAndPopTellEachScreenInOrder) {
  auto main = screen("main");
  auto nav = std::make_shared<UINavigationController>(main);
  window->setRootViewController(nav);
  EXPECT_EQ(take(), "main.didLoad main.willAppear main.didAppear");
  // The bar is shown: the screen sits below it; hidden, the screen takes the whole view.
  EXPECT_EQ(main->view()->frame().origin.y, UINavigationController::kNavigationBarHeight);
  nav->setNavigationBarHidden(true);
  EXPECT_EQ(main->view()->frame(), nav->view()->bounds());
  EXPECT_EQ(main->navigationController(), nav.get());

  auto editor = screen("editor");
  nav->pushViewController(editor, true);
  EXPECT_EQ(take(), "editor.didLoad main.willDisappear editor.willAppear");
  EXPECT_TRUE(nav->view()->layer().hasRunningAnimations());  // the push transition
  EXPECT_EQ(nav->topViewController(), editor.get());
  EXPECT_EQ(editor->view()->superview(), nav->view().get());
  EXPECT_EQ(main->view()->superview(), nullptr);
  host->advanceBy(UINavigationController::kTransitionDuration / 2);
  EXPECT_EQ(take(), "");
  host->advanceBy(UINavigationController::kTransitionDuration);
  EXPECT_EQ(take(), "main.didDisappear editor.didAppear");
  EXPECT_FALSE(nav->view()->layer().hasRunningAnimations());

  auto popped = nav->popViewControllerAnimated(true);
  EXPECT_EQ(popped, editor);
  EXPECT_EQ(take(), "editor.willDisappear main.willAppear");
  host->advanceBy(1);
  EXPECT_EQ(take(), "editor.didDisappear main.didAppear");
  EXPECT_EQ(editor->navigationController(), nullptr);
  EXPECT_EQ(nav->popViewControllerAnimated(true), nullptr);  // the root stays
  EXPECT_EQ(take(), "");

  // Unanimated, and a pop before the push ended: every screen hears each call once, in order.
  auto a = screen("a"), b = screen("b");
  nav->pushViewController(a, false);
  EXPECT_EQ(take(), "a.didLoad main.willDisappear a.willAppear main.didDisappear a.didAppear");
  nav->pushViewController(b, true);
  nav->popToRootViewControllerAnimated(true);
  host->advanceBy(1);
  EXPECT_EQ(take(),
            "b.didLoad a.willDisappear b.willAppear a.didDisappear b.didAppear b.willDisappear "
            "main.willAppear b.didDisappear main.didAppear");
  EXPECT_EQ(nav->viewControllers().size(), 1u);
  ConsoleCapture console;
  nav->pushViewController(main, true);  // already there
  EXPECT_EQ(nav->viewControllers().size(), 1u);
  EXPECT_EQ(console.lines().size(), 1u);
}

TEST_F(ScreenTest, TheBarShowsTheTopTitleAndABackButtonThatPops) {
  auto main = screen("main");
  main->setTitle("Portraits");
  auto nav = std::make_shared<UINavigationController>(main);
  window->setRootViewController(nav);
  ASSERT_NE(nav->navigationBarTitleLabel(), nullptr);
  EXPECT_EQ(nav->navigationBarTitleLabel()->text(), "Portraits");
  EXPECT_TRUE(nav->backButton()->isHidden());  // nothing to go back to at the root

  auto editor = screen("editor");
  nav->pushViewController(editor, true);
  host->advanceBy(1);
  EXPECT_EQ(nav->navigationBarTitleLabel()->text(), "");
  editor->setTitle("Frames");  // a title given while on top shows at once
  EXPECT_EQ(nav->navigationBarTitleLabel()->text(), "Frames");
  ASSERT_FALSE(nav->backButton()->isHidden());
  EXPECT_EQ(nav->backButton()->titleForState(UIControlStateNormal), "\u2039 Portraits");
  main->setTitle("");
  EXPECT_EQ(nav->backButton()->titleForState(UIControlStateNormal), "\u2039 Back");
  take();

  // A tap on the back button pops with the transition, telling both screens.
  host->tapView(*nav->backButton());
  EXPECT_TRUE(nav->view()->layer().hasRunningAnimations());
  host->advanceBy(1);
  EXPECT_EQ(nav->topViewController(), main.get());
  EXPECT_EQ(take(), "editor.willDisappear main.willAppear editor.didDisappear main.didAppear");
  EXPECT_TRUE(nav->backButton()->isHidden());
  // A screen off the stack no longer changes the bar.
  editor->setTitle("Gone");
  EXPECT_EQ(nav->navigationBarTitleLabel()->text(), "");

  // The back button is as wide as its title needs, short of the title's margin.
  main->setTitle("A rather long screen title");
  nav->pushViewController(editor, false);
  Rect back = nav->backButton()->frame();
  EXPECT_GT(back.size.width, 80);
  EXPECT_LE(back.maxX(), UINavigationController::kTitleMargin);
  // Resized, the view fits its bar and its top screen to the new size.
  nav->view()->setFrame(Rect(0, 60, 280, 300));
  nav->view()->layoutIfNeeded();
  EXPECT_EQ(nav->navigationBar()->frame().size.width, 280);
  EXPECT_EQ(nav->navigationBarTitleLabel()->frame().size.width,
            280 - 2 * UINavigationController::kTitleMargin);
  EXPECT_EQ(editor->view()->frame(), Rect(0, UINavigationController::kNavigationBarHeight, 280,
                                          300 - UINavigationController::kNavigationBarHeight));
}

TEST_F(ScreenTest, ModalPresentationSlidesUpAndDismissalSlidesAway) {
  auto main = screen("main");
  auto nav = std::make_shared<UINavigationController>(main);
  nav->setNavigationBarHidden(true);
  window->setRootViewController(nav);
  take();
  auto picker = screen("picker");
  bool shown = false;
  main->presentViewController(picker, true, [&] { shown = true; });
  // The navigation controller at the root presents, and its top screen goes with it.
  EXPECT_EQ(nav->presentedViewController(), picker);
  EXPECT_EQ(picker->presentingViewController(), nav.get());
  EXPECT_EQ(take(), "picker.didLoad main.willDisappear picker.willAppear");
  EXPECT_EQ(picker->view()->superview(), window.get());
  double now = RunLoop::main().now();
  EXPECT_GT(picker->view()->presentationCenter(now).y, picker->view()->center().y);
  host->advanceBy(UIViewController::kModalTransitionDuration + 0.01);
  EXPECT_TRUE(shown);
  EXPECT_EQ(take(), "main.didDisappear picker.didAppear");
  EXPECT_TRUE(nav->view()->isHidden());
  EXPECT_EQ(picker->view()->frame(), UIScreen::mainScreen().applicationFrame());

  ConsoleCapture console;
  main->presentViewController(screen("second"), false);  // one at a time
  EXPECT_EQ(console.lines().size(), 1u);
  take();

  picker->dismissModalViewControllerAnimated(true);
  EXPECT_EQ(take(), "picker.willDisappear main.willAppear");
  EXPECT_FALSE(nav->view()->isHidden());
  host->advanceBy(1);
  EXPECT_EQ(take(), "picker.didDisappear main.didAppear");
  EXPECT_EQ(picker->view()->superview(), nullptr);
  EXPECT_EQ(nav->presentedViewController(), nullptr);
  EXPECT_EQ(picker->presentingViewController(), nullptr);

  main->dismissViewControllerAnimated(false);  // nothing presented: a message only
  EXPECT_EQ(console.lines().size(), 2u);

  // A cross dissolve fades in place instead of sliding, both ways.
  picker->setModalTransitionStyle(UIViewController::UIModalTransitionStyle::CrossDissolve);
  main->presentViewController(picker, true);
  double start = RunLoop::main().now();
  EXPECT_EQ(picker->view()->presentationCenter(start), picker->view()->center());
  EXPECT_LT(picker->view()->presentationAlpha(start), 0.01);
  host->advanceBy(UIViewController::kModalTransitionDuration / 2);
  double half = picker->view()->presentationAlpha(RunLoop::main().now());
  EXPECT_GT(half, 0.3);
  EXPECT_LT(half, 1);
  host->advanceBy(1);
  picker->dismissViewControllerAnimated(true);
  host->advanceBy(UIViewController::kModalTransitionDuration / 2);
  EXPECT_LT(picker->view()->presentationAlpha(RunLoop::main().now()), 0.9);
  host->advanceBy(1);
  EXPECT_EQ(picker->view()->superview(), nullptr);
  EXPECT_EQ(picker->view()->alpha(), 1);  // ready to come back
}

TEST_F(ScreenTest, AChildScreenInTheViewTreeAppearsWithItsParentAndPresentsThroughIt) {
  auto page = screen("page");
  auto inner = screen("inner");
  auto nav = std::make_shared<UINavigationController>(inner);
  page->addChildViewController(nav);
  page->view()->addSubview(nav->view());
  auto aside = screen("aside");
  page->addChildViewController(aside);  // its view is never shown: it hears nothing
  window->setRootViewController(page);
  // Loading the page's and the navigation's views loaded the inner screen's.
  EXPECT_EQ(
      take(),
      "page.didLoad inner.didLoad page.willAppear inner.willAppear page.didAppear inner.didAppear");
  EXPECT_EQ(inner->navigationController(), nav.get());
  EXPECT_EQ(nav->parentViewController(), page.get());

  // Presenting from deep inside goes through the root of the containers.
  auto modal = screen("modal");
  inner->presentViewController(modal, false);
  EXPECT_EQ(page->presentedViewController(), modal);
  EXPECT_EQ(take(),
            "modal.didLoad page.willDisappear inner.willDisappear modal.willAppear "
            "page.didDisappear inner.didDisappear modal.didAppear");
  modal->dismissViewControllerAnimated(false);
  take();

  // A controller has one container; one that left is on its own again.
  ConsoleCapture console;
  auto other = screen("other");
  other->addChildViewController(nav);
  EXPECT_EQ(console.lines().size(), 1u);
  nav->addChildViewController(page);  // its own container: refused too
  EXPECT_EQ(console.lines().size(), 2u);
  nav->view()->removeFromSuperview();
  nav->removeFromParentViewController();
  EXPECT_EQ(nav->parentViewController(), nullptr);
  EXPECT_EQ(page->childViewControllers().size(), 1u);
  window->setRootViewController(nullptr);
  EXPECT_EQ(take(), "page.willDisappear page.didDisappear");

  // Presenting needs a screen in the window; a presenter gone first is let go.
  auto lone = screen("lone");
  lone->presentViewController(screen("second"), true);
  EXPECT_EQ(lone->presentedViewController(), nullptr);
  EXPECT_EQ(console.lines().size(), 3u);

  auto holder = std::make_shared<UIView>(Rect(0, 0, 320, 568));
  window->addSubview(holder);
  auto presented = screen("presented");
  {
    auto presenter = screen("presenter");
    holder->addSubview(presenter->view());
    presenter->presentViewController(presented, false);
    EXPECT_EQ(presented->presentingViewController(), presenter.get());
    presenter->view()->removeFromSuperview();
  }
  EXPECT_EQ(presented->presentingViewController(), nullptr);
}

TEST_F(ScreenTest, OrientationsComeFromTheDelegateElseFromTheScreenOnTop) {
  auto& app = UIApplication::sharedApplication();
  auto supported = [&] { return app.supportedInterfaceOrientationsForWindow(window.get()); };
  // No screen: portrait.
  EXPECT_EQ(supported(), UIInterfaceOrientationMaskPortrait);
  auto main = screen("main");
  auto nav = std::make_shared<UINavigationController>(main);
  window->setRootViewController(nav);
  EXPECT_EQ(supported(), 2u);
  EXPECT_FALSE(app.shouldRotateToOrientation(UIInterfaceOrientation::LandscapeLeft));
  // A screen pushed on top that turns any way decides while it is on top.
  auto turning = std::make_shared<TurningScreen>();
  nav->pushViewController(turning, false);
  EXPECT_EQ(supported(), UIInterfaceOrientationMaskAll);
  EXPECT_TRUE(app.shouldRotateToOrientation(UIInterfaceOrientation::LandscapeLeft));
  // The delegate's policy holds over every screen.
  auto delegate = std::make_shared<OrientationDelegate>();
  delegate->answer = UIInterfaceOrientationMaskPortrait;
  app.setDelegate(delegate);
  EXPECT_EQ(supported(), 2u);
  EXPECT_FALSE(app.shouldRotateToOrientation(UIInterfaceOrientation::LandscapeRight));
  EXPECT_TRUE(app.shouldRotateToOrientation(UIInterfaceOrientation::Portrait));
  // A modal screen over the stack is asked in its turn.
  delegate->answer.reset();
  auto modal = screen("modal");
  turning->presentViewController(modal, false);
  EXPECT_EQ(supported(), 2u);
  EXPECT_EQ(app.statusBarOrientation(), UIInterfaceOrientation::Portrait);
}
