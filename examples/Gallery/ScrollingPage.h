#pragma once

#include <memory>

#include "GalleryPage.h"
#include "RecyclingListView.h"
#include "UI/UIScrollViewDelegate.h"

// A list of 300 rows that recycles its row views, with a caption saying which row was tapped
// and how many row views exist.
class ScrollingPage : public GalleryPage, public platform::UIScrollViewDelegate {
 public:
  ScrollingPage() : GalleryPage("scrolling", "Scrolling") {}

  static constexpr int kRowCount = 300;
  static constexpr double kRowHeight = 44;

  RecyclingListView& list() const { return *_list; }

  void scrollViewDidScroll(platform::UIScrollView&) override { updateCaption(); }

 protected:
  void buildPage(platform::UIView& page) override;

 private:
  void updateCaption();

  std::shared_ptr<RecyclingListView> _list;
  std::shared_ptr<platform::UILabel> _caption;
};
