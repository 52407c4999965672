#include "UI/UIView.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <typeindex>
#include <unordered_map>

#include "UI/Compositor.h"
#include "UI/InterfaceContext.h"
#include "UI/UIGestureRecognizer.h"
#include "UI/UIViewController.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

// The transform from a view's bounds to its parent's coordinates.
AffineTransform toParent(Point center, Rect bounds, const AffineTransform& transform) {
  AffineTransform t = AffineTransform::makeTranslation(-bounds.origin.x - bounds.size.width / 2,
                                                       -bounds.origin.y - bounds.size.height / 2);
  t = AffineTransform::concat(t, transform);
  return AffineTransform::concat(t, AffineTransform::makeTranslation(center.x, center.y));
}

// This view's bounds to the root of its tree.
AffineTransform toRoot(const UIView* view) {
  AffineTransform t;
  for (const UIView* v = view; v && v->superview(); v = v->superview())
    t = AffineTransform::concat(t, toParent(v->center(), v->bounds(), v->transform()));
  return t;
}

const UIView* rootOf(const UIView* view) {
  while (view->superview()) view = view->superview();
  return view;
}

}  // namespace

namespace {

std::uint64_t nextCompositeId() {
  static std::atomic<std::uint64_t> next{0};
  return next.fetch_add(1, std::memory_order_relaxed) + 1;
}

}  // namespace

UIView::UIView() : _compositeId(nextCompositeId()) {}

UIView::UIView(Rect frame) : UIView() {
  setFrame(frame);
}

UIView::~UIView() {
  for (auto& child : _subviews) child->_superview = nullptr;
  for (auto& recognizer : _gestureRecognizers) recognizer->setView(nullptr);
}

UIResponder* UIView::nextResponder() const {
  if (_owningController) return _owningController;
  return _superview;
}

void UIView::addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer) {
  if (!recognizer || recognizer->view() == this) return;
  if (UIView* old = recognizer->view()) old->removeGestureRecognizer(recognizer.get());
  recognizer->setView(this);
  _gestureRecognizers.push_back(std::move(recognizer));
}

void UIView::removeGestureRecognizer(const UIGestureRecognizer* recognizer) {
  auto it = std::find_if(_gestureRecognizers.begin(), _gestureRecognizers.end(),
                         [&](const auto& r) { return r.get() == recognizer; });
  if (it == _gestureRecognizers.end()) return;
  auto keep = *it;
  _gestureRecognizers.erase(it);
  keep->setEnabled(false);
  keep->setEnabled(true);
  keep->setView(nullptr);
}

Rect UIView::frame() const {
  Rect local(-_bounds.size.width / 2, -_bounds.size.height / 2, _bounds.size.width,
             _bounds.size.height);
  Rect r = _transform.isIdentity() ? local : _transform.apply(local);
  return Rect(r.origin.x + _center.x, r.origin.y + _center.y, r.size.width, r.size.height);
}

void UIView::setFrame(Rect frame) {
  if (!frame.isFinite()) return;
  setCenter(Point{frame.midX(), frame.midY()});
  // With a transform other than the identity the toolkit leaves the result undefined; this
  // one keeps the transform and takes the frame's size as the bounds' size.
  setBounds(Rect(_bounds.origin, frame.size));
}

void UIView::setBounds(Rect bounds) {
  if (!bounds.isFinite() || bounds == _bounds) return;
  animateChange("bounds", _bounds, bounds);
  bool resized = bounds.size != _bounds.size;
  _bounds = bounds;
  if (resized) {
    setNeedsLayout();
    if (_contentMode == UIViewContentMode::Redraw) setNeedsDisplay();
  }
  setNeedsComposite();
}

void UIView::setCenter(Point center) {
  if (!std::isfinite(center.x) || !std::isfinite(center.y) || center == _center) return;
  animateChange("position", _center, center);
  _center = center;
  placementChanged();
}

void UIView::setTransform(AffineTransform transform) {
  if (transform == _transform) return;
  animateChange("transform", _transform, transform);
  _transform = transform;
  placementChanged();
}

void UIView::setAlpha(double alpha) {
  if (!std::isfinite(alpha)) return;
  alpha = std::clamp(alpha, 0.0, 1.0);
  if (alpha == _alpha) return;
  animateChange("opacity", _alpha, alpha);
  _alpha = alpha;
  placementChanged();
}

void UIView::setHidden(bool hidden) {
  if (hidden == _hidden) return;
  _hidden = hidden;
  placementChanged();
}

UIView* UIView::viewWithTag(int tag) {
  if (_tag == tag) return this;
  for (auto& child : _subviews)
    if (UIView* found = child->viewWithTag(tag)) return found;
  return nullptr;
}

void UIView::setBackgroundColor(std::optional<UIColor> color) {
  if (color == _backgroundColor) return;
  animateChange("backgroundColor", _backgroundColor.value_or(UIColor::clearColor()),
                color.value_or(UIColor::clearColor()));
  _backgroundColor = color;
  setNeedsComposite();
}

void UIView::setClipsToBounds(bool clips) {
  if (clips == _clipsToBounds) return;
  _clipsToBounds = clips;
  setNeedsComposite();
}

void UIView::setContentMode(UIViewContentMode mode) {
  if (mode == _contentMode) return;
  _contentMode = mode;
  setNeedsDisplay();
}

void UIView::attach(std::shared_ptr<UIView> view, size_t index) {
  if (!view || view.get() == this || isDescendantOfView(view.get())) return;
  UIWindow* oldWindow = view->window();
  std::shared_ptr<UIView> keep = view;  // removal below may drop the last other owner
  if (view->_superview) {
    UIView* old = view->_superview;
    old->willRemoveSubview(view.get());
    auto& siblings = old->_subviews;
    siblings.erase(std::find(siblings.begin(), siblings.end(), view));
    old->setNeedsComposite();
  }
  view->willMoveToSuperview(this);
  index = std::min(index, _subviews.size());
  _subviews.insert(_subviews.begin() + static_cast<std::ptrdiff_t>(index), view);
  view->_superview = this;
  view->setNeedsLayout();
  view->didMoveToSuperview();
  if (view->window() != oldWindow) view->notifyMovedToWindow();
  didAddSubview(view.get());
  setNeedsComposite();
}

void UIView::addSubview(std::shared_ptr<UIView> view) {
  attach(std::move(view), _subviews.size());
}

void UIView::insertSubview(std::shared_ptr<UIView> view, size_t index) {
  // An index counts the children without the view itself, as when it is first removed.
  if (view && view->_superview == this) {
    auto at = std::find(_subviews.begin(), _subviews.end(), view) - _subviews.begin();
    if (static_cast<size_t>(at) < index) --index;
  }
  attach(std::move(view), index);
}

void UIView::insertSubviewBelowSubview(std::shared_ptr<UIView> view, const UIView* sibling) {
  if (!view || view.get() == sibling) return;
  if (view->_superview == this) view->removeFromSuperview();
  auto it = std::find_if(_subviews.begin(), _subviews.end(),
                         [&](const auto& v) { return v.get() == sibling; });
  attach(std::move(view), static_cast<size_t>(it - _subviews.begin()));
}

void UIView::insertSubviewAboveSubview(std::shared_ptr<UIView> view, const UIView* sibling) {
  if (!view || view.get() == sibling) return;
  if (view->_superview == this) view->removeFromSuperview();
  auto it = std::find_if(_subviews.begin(), _subviews.end(),
                         [&](const auto& v) { return v.get() == sibling; });
  size_t index = it == _subviews.end() ? _subviews.size() : (it - _subviews.begin()) + 1;
  attach(std::move(view), index);
}

void UIView::removeFromSuperview() {
  UIView* parent = _superview;
  if (!parent) return;
  bool hadWindow = window() != nullptr;
  auto self = shared_from_this();
  parent->willRemoveSubview(this);
  willMoveToSuperview(nullptr);
  auto& siblings = parent->_subviews;
  siblings.erase(std::find(siblings.begin(), siblings.end(), self));
  _superview = nullptr;
  didMoveToSuperview();
  if (hadWindow) notifyMovedToWindow();
  parent->setNeedsComposite();
}

void UIView::bringSubviewToFront(const UIView* view) {
  auto it = std::find_if(_subviews.begin(), _subviews.end(),
                         [&](const auto& v) { return v.get() == view; });
  if (it == _subviews.end()) return;
  std::rotate(it, it + 1, _subviews.end());
  setNeedsComposite();
}

void UIView::sendSubviewToBack(const UIView* view) {
  auto it = std::find_if(_subviews.begin(), _subviews.end(),
                         [&](const auto& v) { return v.get() == view; });
  if (it == _subviews.end()) return;
  std::rotate(_subviews.begin(), it, it + 1);
  setNeedsComposite();
}

void UIView::exchangeSubviewAtIndex(size_t first, size_t second) {
  if (first >= _subviews.size() || second >= _subviews.size()) return;
  std::swap(_subviews[first], _subviews[second]);
  setNeedsComposite();
}

bool UIView::isDescendantOfView(const UIView* view) const {
  for (const UIView* v = this; v; v = v->_superview)
    if (v == view) return true;
  return false;
}

UIWindow* UIView::window() const {
  const UIView* root = rootOf(this);
  return dynamic_cast<UIWindow*>(const_cast<UIView*>(root));
}

void UIView::notifyMovedToWindow() {
  didMoveToWindow();
  for (auto& child : _subviews) child->notifyMovedToWindow();
}

Point UIView::convertPointToView(Point point, const UIView* view) const {
  Point inRoot = toRoot(this).apply(point);
  if (!view) return inRoot;
  return toRoot(view).inverted().apply(inRoot);
}

Point UIView::convertPointFromView(Point point, const UIView* view) const {
  Point inRoot = view ? toRoot(view).apply(point) : point;
  return toRoot(this).inverted().apply(inRoot);
}

Rect UIView::convertRectToView(Rect rect, const UIView* view) const {
  AffineTransform t = toRoot(this);
  if (view) t = AffineTransform::concat(t, toRoot(view).inverted());
  return t.apply(rect);
}

Rect UIView::convertRectFromView(Rect rect, const UIView* view) const {
  AffineTransform t = view ? toRoot(view) : AffineTransform{};
  t = AffineTransform::concat(t, toRoot(this).inverted());
  return t.apply(rect);
}

bool UIView::pointInside(Point point, const UIEvent*) const {
  return _bounds.contains(point);
}

UIView* UIView::hitTest(Point point, const UIEvent* event) {
  if (_hidden || !_userInteractionEnabled || _alpha < 0.01) return nullptr;
  if (!pointInside(point, event)) return nullptr;
  for (auto it = _subviews.rbegin(); it != _subviews.rend(); ++it) {
    UIView* child = it->get();
    AffineTransform t = toParent(child->_center, child->_bounds, child->_transform);
    if (!t.isInvertible()) continue;
    if (UIView* hit = child->hitTest(t.inverted().apply(point), event)) return hit;
  }
  return this;
}

void UIView::setNeedsLayout() {
  _needsLayout = true;
  Compositor::setNeedsComposite();
}

void UIView::layoutIfNeeded() {
  if (_needsLayout) {
    _needsLayout = false;
    layoutSubviews();
  }
  // Copy: a layout may add or remove children.
  auto children = _subviews;
  for (auto& child : children) child->layoutIfNeeded();
}

void UIView::sizeToFit() {
  Size fits = sizeThatFits(_bounds.size);
  Rect f = frame();
  setFrame(Rect(f.origin, fits));
}

void UIView::setNeedsDisplay() {
  _needsDisplay = true;
  setNeedsComposite();
}

const Image* UIView::backingImage(const Rect& bounds, double scale) {
  // Whether a class draws for itself is found once per class, with a one-pixel canvas.
  static std::unordered_map<std::type_index, bool> drawsNothing;
  auto [known, inserted] = drawsNothing.try_emplace(typeid(*this), false);
  if (inserted) {
    _drawRectIsBase = false;
    if (auto probe = BitmapContext::create(1, 1, true)) drawRect(*probe, bounds);
    known->second = _drawRectIsBase;
  }
  if (known->second) return nullptr;
  if (!_needsDisplay && _backingScale == scale && _backingSize == bounds.size)
    return _backing.get();
  _needsDisplay = false;
  _backing.reset();
  _backingScale = scale;
  _backingSize = bounds.size;
  int w = Bitmap::pixelLength(bounds.size.width, scale);
  int h = Bitmap::pixelLength(bounds.size.height, scale);
  auto canvas = bounds.isEmpty() ? nullptr : BitmapContext::create(w, h, true);
  if (!canvas) return nullptr;
  canvas->translateCTM(0, h);
  canvas->scaleCTM(scale, -scale);
  canvas->translateCTM(-bounds.origin.x, -bounds.origin.y);
  drawRect(*canvas, bounds);
  if (auto drawn = canvas->takeImage())
    _backing = Image::imageWithBitmap(drawn->sharedBitmap(), scale);
  return _backing.get();
}

void UIView::drawRect(BitmapContext&, Rect) {
  // Reached only by views that do not draw for themselves: they need no backing bitmap.
  _drawRectIsBase = true;
}

void UIView::setNeedsComposite() {
  ++_contentVersion;
  for (UIView* v = this; v; v = v->_superview) v->_layer.invalidateRaster();
  Compositor::setNeedsComposite();
}

void UIView::placementChanged() {
  // A layer's own bitmap holds neither its place nor its opacity: only the ones above change.
  for (UIView* v = _superview; v; v = v->_superview) v->_layer.invalidateRaster();
  Compositor::setNeedsComposite();
}

bool UIView::applyAttribute(const std::string& name, const std::string& value,
                            InterfaceContext& context, std::string& error) {
  if (name == "frame") {
    auto r = context.parseRect(value, error);
    if (r) setFrame(*r);
    return r.has_value();
  }
  if (name == "tag") {
    auto n = context.parseInteger(value, error);
    if (n) setTag(*n);
    return n.has_value();
  }
  if (name == "alpha") {
    auto n = context.parseNumber(value, error);
    if (n) setAlpha(*n);
    return n.has_value();
  }
  if (name == "hidden" || name == "clipsToBounds" || name == "userInteractionEnabled" ||
      name == "opaque" || name == "shouldRasterize") {
    auto b = context.parseBool(value, error);
    if (!b) return false;
    if (name == "hidden") setHidden(*b);
    if (name == "clipsToBounds") setClipsToBounds(*b);
    if (name == "userInteractionEnabled") setUserInteractionEnabled(*b);
    if (name == "opaque") setOpaque(*b);
    if (name == "shouldRasterize") _layer.setShouldRasterize(*b);
    return true;
  }
  if (name == "backgroundColor") {
    auto c = context.parseColor(value, error);
    if (c) setBackgroundColor(*c);
    return c.has_value();
  }
  if (name == "contentMode") {
    auto n = context.parseInteger(value, error);
    if (n && (*n < 0 || *n > 12)) {
      error = "content mode must be 0 to 12";
      return false;
    }
    if (n) setContentMode(static_cast<UIViewContentMode>(*n));
    return n.has_value();
  }
  if (name == "cornerRadius") {
    auto n = context.parseNumber(value, error);
    if (n) _layer.setCornerRadius(*n);
    return n.has_value();
  }
  error = "unknown attribute \"" + name + "\" for " + className();
  return false;
}

}  // namespace platform
