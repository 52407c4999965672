#pragma once

#include <memory>

#include "GalleryPage.h"
#include "UI/UIPageControl.h"
#include "UI/UIScrollView.h"
#include "UI/UIScrollViewDelegate.h"

// A horizontal strip of coloured pages that turn one at a time, with a page control below kept
// in step both ways: scrolling moves its dot, tapping it scrolls the strip.
class PagedStripPage : public GalleryPage, public platform::UIScrollViewDelegate {
 public:
  PagedStripPage() : GalleryPage("paged-strip", "Paged strip") {}

  static constexpr int kPages = 6;

  platform::UIScrollView& strip() const { return *_strip; }
  platform::UIPageControl& pageControl() const { return *_pageControl; }

  void scrollViewDidScroll(platform::UIScrollView& scrollView) override;

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<platform::UIScrollView> _strip;
  std::shared_ptr<platform::UIPageControl> _pageControl;
};
