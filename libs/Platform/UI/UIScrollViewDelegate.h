#pragma once

namespace platform {

class UIScrollView;

// Told about scrolling; every call is optional.
class UIScrollViewDelegate {
 public:
  virtual ~UIScrollViewDelegate() = default;
  // After every change of the content offset, whoever made it.
  virtual void scrollViewDidScroll(UIScrollView&) {}
  virtual void scrollViewWillBeginDragging(UIScrollView&) {}
  virtual void scrollViewDidEndDragging(UIScrollView&, bool /*willDecelerate*/) {}
  virtual void scrollViewWillBeginDecelerating(UIScrollView&) {}
  virtual void scrollViewDidEndDecelerating(UIScrollView&) {}
  // After an animated setContentOffset reached its end.
  virtual void scrollViewDidEndScrollingAnimation(UIScrollView&) {}
};

}  // namespace platform
