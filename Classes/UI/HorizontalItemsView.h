#pragma once

#include <memory>
#include <optional>
#include <string>

#include "AppUI/ItemsView.h"
#include "UI/UIButton.h"
#include "UI/UIPageControl.h"

// One row of cells scrolling sideways. With a page control attached it pages: every cell is as
// big as the strip, the control follows the scrolling and turns the strip when tapped, and the
// previous and next page buttons (placed by the owner) fade in and out with the position.
class HorizontalItemsView : public ItemsView {
 public:
  HorizontalItemsView() = default;
  explicit HorizontalItemsView(platform::Rect frame) : ItemsView(frame) {}
  std::string className() const override { return "HorizontalItemsView"; }
  // Makes the class known to interface files.
  static void registerViewClass();

  // The strip's own frame size with a page control (one cell per page), else the delegate's.
  platform::Size cellSize() const;
  // The content width for the cell size and the item count; a new cell size also moves to the
  // page control's page.
  void updateContentSize();
  void layoutSubviews() override;
  void reloadData() override;
  void updateItems() override;

  void changePageAnimated(bool animated);
  // The page control's value changed: scroll to its page.
  void pageChanged() { changePageAnimated(true); }
  void scrollToNextPage();
  void scrollToPrevPage();
  int curPage() const { return _pageControl ? _pageControl->currentPage() : 0; }
  void updatePageButtonsVisibility();
  void updatePageControl();

  const std::shared_ptr<platform::UIPageControl>& pageControl() const { return _pageControl; }
  // Attaching a control switches paging on; the old control no longer turns the strip.
  void setPageControl(std::shared_ptr<platform::UIPageControl> pageControl);
  const std::shared_ptr<platform::UIView>& nextPageButton() const { return _nextPageButton; }
  void setNextPageButton(std::shared_ptr<platform::UIView> button) {
    _nextPageButton = std::move(button);
  }
  const std::shared_ptr<platform::UIView>& prevPageButton() const { return _prevPageButton; }
  void setPrevPageButton(std::shared_ptr<platform::UIView> button) {
    _prevPageButton = std::move(button);
  }

  // At 0 both page buttons vanish at once; otherwise they show as the page says.
  void setAlpha(double alpha) override;

 private:
  // A page change the strip animates itself is under way: the page control already shows its
  // page and must not follow the passing offsets.
  bool isChangingPage();

  std::shared_ptr<platform::UIView> _nextPageButton;
  std::shared_ptr<platform::UIView> _prevPageButton;
  std::shared_ptr<platform::UIPageControl> _pageControl;
  platform::Size _oldSize;
  // Whether the content size was ever set: the first reload sets it whatever the cell size.
  bool _contentSizeSet = false;
  // The item count the content width was last set for.
  std::int32_t _oldCount = 0;
  // The actions given to the page control hold this weakly: dropping it detaches them.
  std::shared_ptr<HorizontalItemsView*> _pageControlLink;
  std::optional<platform::Point> _pageTarget;
};
