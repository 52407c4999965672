#include "UI/UITouch.h"

#include "UI/UIGestureRecognizer.h"
#include "UI/UIWindow.h"

namespace platform {

UIView* UITouch::view() const {
  return _view.lock().get();
}

UIWindow* UITouch::window() const {
  return dynamic_cast<UIWindow*>(_window.lock().get());
}

Point UITouch::convert(Point inWindow, const UIView* view) const {
  auto window = _window.lock();
  if (!view || !window || view == window.get()) return inWindow;
  return view->convertPointFromView(inWindow, window.get());
}

Point UITouch::locationInView(const UIView* view) const {
  return convert(_location, view);
}

Point UITouch::previousLocationInView(const UIView* view) const {
  return convert(_previous, view);
}

std::vector<std::shared_ptr<UIGestureRecognizer>> UITouch::gestureRecognizers() const {
  std::vector<std::shared_ptr<UIGestureRecognizer>> out;
  for (const auto& weak : _recognizers)
    if (auto r = weak.lock()) out.push_back(std::move(r));
  return out;
}

}  // namespace platform
