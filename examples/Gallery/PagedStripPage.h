#pragma once

#include <memory>

#include "AppUI/HorizontalItemsView.h"
#include "GalleryPage.h"
#include "UI/UIPageControl.h"

// The application's paged strip: one coloured panel per page in a HorizontalItemsView, a page
// control below it kept in step both ways, and previous and next page buttons that fade out on
// the first and the last page.
class PagedStripPage : public GalleryPage, public ItemsViewDataSource, public ItemsViewDelegate {
 public:
  PagedStripPage() : GalleryPage("paged-strip", Gallery::text("_Loc_GalleryPagedStripTitle")) {}

  static constexpr int kPages = 6;

  HorizontalItemsView& strip() const { return *_strip; }
  platform::UIPageControl& pageControl() const { return *_pageControl; }
  platform::UIButton& prevButton() const { return *_prev; }
  platform::UIButton& nextButton() const { return *_next; }

  std::int32_t itemsCountInItemsView(ItemsView&) override { return kPages; }
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& strip, std::int32_t index) override;
  platform::Size cellSizeInItemsView(ItemsView& strip) override { return strip.bounds().size; }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  std::shared_ptr<HorizontalItemsView> _strip;
  std::shared_ptr<platform::UIPageControl> _pageControl;
  std::shared_ptr<platform::UIButton> _prev, _next;
};
