#pragma once

#include <memory>
#include <string>
#include <vector>

#include "GalleryPage.h"
#include "UI/UIApplicationDelegate.h"
#include "UI/UIWindow.h"

// The gallery application: a window showing one page at a time as its root screen; each page's
// heading turns to the previous or the next one.
class GalleryDelegate : public platform::UIApplicationDelegate {
 public:
  explicit GalleryDelegate(std::string resources) : _resources(std::move(resources)) {}

  bool applicationDidFinishLaunching(platform::UIApplication& app,
                                     const platform::Dictionary& options) override;

  int pageCount() const { return static_cast<int>(_pages.size()); }
  GalleryPage& page(int index) const { return *_pages[index]; }
  const std::string& pageName(int index) const { return _pages[index]->name(); }
  int currentPage() const { return _current; }
  // Shows page `index`, closing whatever the page before presented.
  void showPage(int index);
  // Goes `step` pages on, round the ends.
  void turn(int step);
  // Whether every page could build what it shows.
  bool loadedAll() const;

 private:
  std::string _resources;
  std::shared_ptr<platform::UIWindow> _window;
  std::vector<std::shared_ptr<GalleryPage>> _pages;
  int _current = -1;
};
