#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Host/OffscreenHost.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UIEvent.h"
#include "UI/UITouch.h"
#include "UI/UIWindow.h"

namespace platform::testing {

// An offscreen application with a key window the size of the screen (320 x 568 points).
class TouchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    UIApplication::sharedApplication().reset();
    window = std::make_shared<UIWindow>(Rect(0, 0, 320, 568));
    window->makeKeyAndVisible();
  }
  void TearDown() override {
    host.reset();
    UIApplication::sharedApplication().reset();
  }

  // Taps the first button in `tree` (depth first) whose normal title is `title`; false when
  // there is none.
  bool tapButtonTitled(UIView* tree, const std::string& title) {
    for (const auto& child : tree->subviews()) {
      if (auto* b = dynamic_cast<UIButton*>(child.get());
          b && b->titleForState(UIControlStateNormal) == title) {
        host->tapView(*b);
        return true;
      }
      if (tapButtonTitled(child.get(), title)) return true;
    }
    return false;
  }

  std::unique_ptr<OffscreenHost> host = std::make_unique<OffscreenHost>();
  std::shared_ptr<UIWindow> window;
};

// A view that writes down every touch call it gets.
class RecordingView : public UIView {
 public:
  using UIView::UIView;
  void touchesBegan(const UITouchSet& touches, UIEvent*) override { note("began", touches); }
  void touchesMoved(const UITouchSet& touches, UIEvent*) override { note("moved", touches); }
  void touchesEnded(const UITouchSet& touches, UIEvent*) override { note("ended", touches); }
  void touchesCancelled(const UITouchSet& touches, UIEvent*) override {
    note("cancelled", touches);
  }
  std::string joined() const {
    std::string out;
    for (const auto& c : calls) out += (out.empty() ? "" : " ") + c;
    return out;
  }
  std::vector<std::string> calls;
  std::vector<Point> locations;
  std::vector<int> tapCounts;
  std::vector<double> timestamps;

 private:
  void note(const char* what, const UITouchSet& touches) {
    calls.emplace_back(what);
    locations.push_back(touches.front()->locationInView(this));
    tapCounts.push_back(touches.front()->tapCount());
    timestamps.push_back(touches.front()->timestamp());
  }
};

}  // namespace platform::testing
