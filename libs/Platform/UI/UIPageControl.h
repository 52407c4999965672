#pragma once

#include "UI/UIControl.h"

namespace platform {

// A row of dots, one per page, the current one bright, centred in the bounds. A tap on the left
// half goes back a page, on the right half forward; a page turned so sends value changed.
class UIPageControl : public UIControl {
 public:
  UIPageControl();
  explicit UIPageControl(Rect frame);
  std::string className() const override { return "UIPageControl"; }

  int numberOfPages() const { return _numberOfPages; }
  void setNumberOfPages(int pages);
  // Kept within 0 and numberOfPages − 1.
  int currentPage() const { return _currentPage; }
  void setCurrentPage(int page);
  bool hidesForSinglePage() const { return _hidesForSinglePage; }
  void setHidesForSinglePage(bool hides);
  UIColor pageIndicatorTintColor() const { return _tint; }
  void setPageIndicatorTintColor(UIColor color);
  UIColor currentPageIndicatorTintColor() const { return _currentTint; }
  void setCurrentPageIndicatorTintColor(UIColor color);

  // The size the dots of `pages` pages take.
  static Size sizeForNumberOfPages(int pages);
  // Where the dot of a page is drawn, in bounds coordinates.
  Rect dotRect(int page) const;

  void drawRect(BitmapContext& context, Rect rect) override;
  void touchesEnded(const UITouchSet& touches, UIEvent* event) override;
  bool applyAttribute(const std::string& name, const std::string& value, InterfaceContext& context,
                      std::string& error) override;

 private:
  int _numberOfPages = 0;
  int _currentPage = 0;
  bool _hidesForSinglePage = false;
  UIColor _tint = UIColor::colorWithWhite(1, 0.3);
  UIColor _currentTint = UIColor::whiteColor();
};

}  // namespace platform
