#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "UI/InterfaceOwner.h"
#include "UI/UIActivityIndicatorView.h"
#include "UI/UIApplicationDelegate.h"
#include "UI/UIButton.h"
#include "UI/UIWindow.h"

// The gallery application: a window with one page at a time.
class GalleryDelegate : public platform::UIApplicationDelegate, public platform::InterfaceOwner {
 public:
  explicit GalleryDelegate(std::string resources) : _resources(std::move(resources)) {}

  bool applicationDidFinishLaunching(platform::UIApplication& app,
                                     const platform::Dictionary& options) override;
  void applicationWillTerminate(platform::UIApplication&) override { _terminated = true; }
  void registerOutlets(platform::OutletRegistry& outlets) override;

  int pageCount() const { return static_cast<int>(_pages.size()); }
  const std::string& pageName(int index) const { return _names[index]; }
  // Shows page `index`; the animation and transition pages start their motion.
  void showPage(int index);
  bool loadedAll() const { return _loadedAll; }

 private:
  std::shared_ptr<platform::UIView> controlsPage();
  std::shared_ptr<platform::UIView> contentModesPage();
  std::shared_ptr<platform::UIView> svgPage();
  std::shared_ptr<platform::UIView> motionPage();
  void startMotion();

  std::string _resources;
  std::shared_ptr<platform::UIWindow> _window;
  std::vector<std::shared_ptr<platform::UIView>> _pages;
  std::vector<std::string> _names;
  std::shared_ptr<platform::UIView> _page;
  std::shared_ptr<platform::UIButton> _normalButton, _selectedButton, _highlightedButton,
      _disabledButton;
  std::shared_ptr<platform::UIActivityIndicatorView> _spinner;
  std::shared_ptr<platform::UIView> _mover;
  std::shared_ptr<platform::UIView> _swapBox;
  std::shared_ptr<platform::UIView> _swapContent;
  std::function<void(bool)> _bounce;
  std::function<void()> _swap;
  int _colour = 0;
  bool _loadedAll = true;
  bool _terminated = false;
};
