#include <gtest/gtest.h>

#include "TestSupport.h"
#include "TouchTestSupport.h"
#include "UI/UIActionSheet.h"
#include "UI/UIAlertView.h"
#include "UI/UIButton.h"

using namespace platform;
using namespace platform::testing;

namespace {

// Hears both an alert and a sheet, writing down each call with its button index.
class Recorder : public UIAlertViewDelegate, public UIActionSheetDelegate {
 public:
  void alertViewClickedButtonAtIndex(UIAlertView&, int i) override { note("clicked", i); }
  void alertViewWillDismissWithButtonIndex(UIAlertView&, int i) override { note("willDismiss", i); }
  void alertViewDidDismissWithButtonIndex(UIAlertView&, int i) override { note("didDismiss", i); }
  void actionSheetClickedButtonAtIndex(UIActionSheet&, int i) override { note("clicked", i); }
  void actionSheetDidDismissWithButtonIndex(UIActionSheet&, int i) override {
    note("didDismiss", i);
  }
  void note(const char* call, int i) { calls.push_back(call + (" " + std::to_string(i))); }
  std::vector<std::string> calls;
};

using AlertTest = TouchTest;

}  // namespace

TEST_F(AlertTest, AlertButtonsAreIndexedCancelFirstAndTellTheChosenOne) {
  auto delegate = std::make_shared<Recorder>();
  auto alert = std::make_shared<UIAlertView>("Saved", "Your picture is in the album", delegate,
                                             "Cancel", std::vector<std::string>{"OK", "Share"});
  EXPECT_EQ(alert->numberOfButtons(), 3);
  EXPECT_EQ(alert->cancelButtonIndex(), 0);
  EXPECT_EQ(alert->firstOtherButtonIndex(), 1);
  EXPECT_EQ(alert->buttonTitleAtIndex(2), "Share");
  EXPECT_EQ(alert->buttonTitleAtIndex(9), "");
  EXPECT_EQ(alert->addButtonWithTitle("More"), 3);
  alert->show();
  std::weak_ptr<UIAlertView> weak = alert;
  alert.reset();  // a shown alert keeps itself
  ASSERT_FALSE(weak.expired());
  host->advanceBy(UIAlertView::kFadeDuration + 0.01);
  EXPECT_TRUE(weak.lock()->isVisible());
  host->tapView(*weak.lock()->buttonAtIndex(2));
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 2", "willDismiss 2"}));
  host->advanceBy(1);
  EXPECT_EQ(delegate->calls.back(), "didDismiss 2");
  EXPECT_TRUE(weak.expired());
}

TEST_F(AlertTest, TwoButtonAlertTapsOnEitherSideAndProgrammaticDismissalSkipsTheClick) {
  auto delegate = std::make_shared<Recorder>();
  auto alert = std::make_shared<UIAlertView>("Error", "Could not save", delegate, std::nullopt,
                                             std::vector<std::string>{"Retry", "OK"});
  EXPECT_EQ(alert->cancelButtonIndex(), -1);
  EXPECT_EQ(alert->firstOtherButtonIndex(), 0);
  alert->show();
  host->advanceBy(1);
  EXPECT_LT(alert->buttonAtIndex(0)->frame().origin.x, alert->buttonAtIndex(1)->frame().origin.x);
  host->tapView(*alert->buttonAtIndex(1));
  host->advanceBy(1);
  EXPECT_EQ(delegate->calls,
            (std::vector<std::string>{"clicked 1", "willDismiss 1", "didDismiss 1"}));
  EXPECT_FALSE(alert->isVisible());
  EXPECT_EQ(alert->superview(), nullptr);

  delegate->calls.clear();
  alert->show();
  alert->dismissWithClickedButtonIndex(0, false);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"willDismiss 0", "didDismiss 0"}));
  alert->dismissWithClickedButtonIndex(0, false);  // already gone: nothing
  EXPECT_EQ(delegate->calls.size(), 2u);

  // A delegate gone before the tap is not called.
  alert->show();
  host->advanceBy(1);
  delegate.reset();
  host->tapView(*alert->buttonAtIndex(0));
  host->advanceBy(1);
  EXPECT_FALSE(alert->isVisible());

  // No window: no alert, and a message.
  UIApplication::sharedApplication().setKeyWindow(nullptr);
  testing_support::ConsoleCapture console;
  alert->show();
  EXPECT_FALSE(alert->isVisible());
  EXPECT_EQ(console.lines().size(), 1u);
}

TEST_F(AlertTest, ActionSheetIndexesDestructiveFirstAndCancelLastAndHoldsTheTouchesBeneath) {
  auto delegate = std::make_shared<Recorder>();
  auto sheet = std::make_shared<UIActionSheet>(
      "Photo", delegate, "Cancel", std::nullopt,
      std::vector<std::string>{"Take Photo", "Choose from Library"});
  EXPECT_EQ(sheet->numberOfButtons(), 3);
  EXPECT_EQ(sheet->cancelButtonIndex(), 2);
  EXPECT_EQ(sheet->destructiveButtonIndex(), -1);
  EXPECT_EQ(sheet->firstOtherButtonIndex(), 0);
  auto withDelete = std::make_shared<UIActionSheet>("", delegate, "Cancel", "Delete",
                                                    std::vector<std::string>{"Keep"});
  EXPECT_EQ(withDelete->destructiveButtonIndex(), 0);
  EXPECT_EQ(withDelete->firstOtherButtonIndex(), 1);
  EXPECT_EQ(withDelete->cancelButtonIndex(), 2);

  sheet->showInView(window.get());
  host->advanceBy(UIActionSheet::kSlideDuration + 0.01);
  // The panel sits at the bottom of the screen, buttons top to bottom in index order.
  EXPECT_LT(sheet->buttonAtIndex(0)->convertPointToView(Point{0, 0}, window.get()).y,
            sheet->buttonAtIndex(2)->convertPointToView(Point{0, 0}, window.get()).y);
  EXPECT_GT(sheet->buttonAtIndex(2)->convertPointToView(Point{0, 0}, window.get()).y, 400);
  host->tapView(*sheet->buttonAtIndex(1));
  host->advanceBy(1);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 1", "didDismiss 1"}));
  EXPECT_FALSE(sheet->isVisible());

  delegate->calls.clear();
  sheet->showInView(window.get());
  host->advanceBy(1);
  host->tapView(*sheet->buttonAtIndex(sheet->cancelButtonIndex()));
  host->advanceBy(1);
  EXPECT_EQ(delegate->calls, (std::vector<std::string>{"clicked 2", "didDismiss 2"}));

  // Taps on the dimmed backdrop do not reach the screen beneath.
  auto beneath = std::make_shared<RecordingView>(Rect(0, 0, 320, 568));
  window->insertSubview(beneath, 0);
  sheet->showInView(beneath.get());
  host->advanceBy(1);
  host->tap(Point{160, 100});
  EXPECT_TRUE(beneath->calls.empty());
  EXPECT_TRUE(sheet->isVisible());
  sheet->dismissWithClickedButtonIndex(0, false);
  host->tap(Point{160, 100});
  EXPECT_EQ(beneath->joined(), "began ended");
}
