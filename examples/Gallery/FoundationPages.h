#pragma once

#include <memory>
#include <vector>

#include "AppUI/BaloonView.h"
#include "GalleryPage.h"

// The shared loading indicator over the page, shown for two seconds.
class LoadingPage : public GalleryPage {
 public:
  LoadingPage();
  platform::UIButton& showButton() const { return *_show; }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<platform::UIButton> _show;
  std::shared_ptr<platform::UIView> _panel;
};

// A speech balloon that points at whichever of three targets was tapped last.
class BalloonPage : public GalleryPage {
 public:
  BalloonPage();
  BaloonView& balloon() const { return *_balloon; }
  // Points the balloon at target 0, 1 or 2.
  void pointAt(int target, bool animated);
  const platform::UIButton& target(int index) const { return *_targets.at(index); }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<BaloonView> _balloon;
  std::shared_ptr<platform::UIView> _page;
  std::vector<std::shared_ptr<platform::UIButton>> _targets;
};
