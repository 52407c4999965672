#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Graphics/AffineTransform.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/Geometry.h"
#include "Graphics/UIColor.h"
#include "UI/CALayer.h"
#include "UI/UIResponder.h"

namespace platform {

class UIEvent;
class UIGestureRecognizer;
class UIViewController;
class UIWindow;
class InterfaceContext;

// How a view fits its content (a picture) into its bounds; numbered as the phone's toolkit.
enum class UIViewContentMode {
  ScaleToFill = 0,
  ScaleAspectFit = 1,
  ScaleAspectFill = 2,
  Redraw = 3,
  Center = 4,
  Top = 5,
  Bottom = 6,
  Left = 7,
  Right = 8,
  TopLeft = 9,
  TopRight = 10,
  BottomLeft = 11,
  BottomRight = 12,
};

// Options of block animations, as the phone's toolkit numbers them.
using UIViewAnimationOptions = std::uint32_t;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionAllowUserInteraction = 1 << 1;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionBeginFromCurrentState = 1 << 2;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseInOut = 0 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseIn = 1 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveEaseOut = 2 << 16;
inline constexpr UIViewAnimationOptions UIViewAnimationOptionCurveLinear = 3 << 16;

// A rectangle of the screen with its own coordinates (bounds), placed in its parent by its
// centre, with a transform that acts about that centre. Views form a tree: a view owns its
// children; its parent is a plain pointer, cleared on removal. Main thread only.
class UIView : public UIResponder, public std::enable_shared_from_this<UIView> {
 public:
  UIView();
  explicit UIView(Rect frame);
  virtual ~UIView();
  UIView(const UIView&) = delete;
  UIView& operator=(const UIView&) = delete;

  // The class name that interface files and diagnostics use.
  virtual std::string className() const { return "UIView"; }

  // Geometry. The frame is derived from centre, bounds size and transform.
  Rect frame() const;
  void setFrame(Rect frame);
  Rect bounds() const { return _bounds; }
  void setBounds(Rect bounds);
  Point center() const { return _center; }
  void setCenter(Point center);
  AffineTransform transform() const { return _transform; }
  void setTransform(AffineTransform transform);

  double alpha() const { return _alpha; }
  // Virtual so that a view whose opacity governs others (a strip and its page buttons) follows
  // every change, also one made through a plain view.
  virtual void setAlpha(double alpha);
  bool isHidden() const { return _hidden; }
  void setHidden(bool hidden);
  int tag() const { return _tag; }
  void setTag(int tag) { _tag = tag; }
  // This view if its tag matches, else the first match depth-first among the descendants.
  UIView* viewWithTag(int tag);
  std::optional<UIColor> backgroundColor() const { return _backgroundColor; }
  void setBackgroundColor(std::optional<UIColor> color);
  bool clipsToBounds() const { return _clipsToBounds; }
  void setClipsToBounds(bool clips);
  bool isUserInteractionEnabled() const { return _userInteractionEnabled; }
  void setUserInteractionEnabled(bool enabled) { _userInteractionEnabled = enabled; }
  bool isOpaque() const { return _opaque; }
  void setOpaque(bool opaque) { _opaque = opaque; }
  UIViewContentMode contentMode() const { return _contentMode; }
  void setContentMode(UIViewContentMode mode);
  CALayer& layer() { return _layer; }
  const CALayer& layer() const { return _layer; }

  // The tree.
  UIView* superview() const { return _superview; }
  const std::vector<std::shared_ptr<UIView>>& subviews() const { return _subviews; }
  void addSubview(std::shared_ptr<UIView> view);
  void insertSubview(std::shared_ptr<UIView> view, size_t index);
  void insertSubviewBelowSubview(std::shared_ptr<UIView> view, const UIView* sibling);
  void insertSubviewAboveSubview(std::shared_ptr<UIView> view, const UIView* sibling);
  void removeFromSuperview();
  void bringSubviewToFront(const UIView* view);
  void sendSubviewToBack(const UIView* view);
  void exchangeSubviewAtIndex(size_t first, size_t second);
  bool isDescendantOfView(const UIView* view) const;
  // The window at the root of this view's tree, or null.
  UIWindow* window() const;

  // Conversion between this view's bounds and another view's (null: the root of this tree),
  // through every transform on the way.
  Point convertPointToView(Point point, const UIView* view) const;
  Point convertPointFromView(Point point, const UIView* view) const;
  Rect convertRectToView(Rect rect, const UIView* view) const;
  Rect convertRectFromView(Rect rect, const UIView* view) const;

  // The deepest visible, interactive view under `point` (in this view's bounds), front-most
  // first; null when the point is outside or this view takes no touches.
  virtual UIView* hitTest(Point point, const UIEvent* event = nullptr);
  virtual bool pointInside(Point point, const UIEvent* event = nullptr) const;

  // Touches: a view passes what it does not handle to its controller (when it is one's root
  // view), then to its parent.
  UIResponder* nextResponder() const override;
  // Set by the controller whose root view this is; cleared when that controller goes.
  UIViewController* owningController() const { return _owningController; }
  void setOwningController(UIViewController* controller) { _owningController = controller; }
  bool isMultipleTouchEnabled() const { return _multipleTouchEnabled; }
  void setMultipleTouchEnabled(bool enabled) { _multipleTouchEnabled = enabled; }

  // Gesture recognizers see the touches that begin in this view or below it, before the view.
  void addGestureRecognizer(std::shared_ptr<UIGestureRecognizer> recognizer);
  void removeGestureRecognizer(const UIGestureRecognizer* recognizer);
  const std::vector<std::shared_ptr<UIGestureRecognizer>>& gestureRecognizers() const {
    return _gestureRecognizers;
  }

  // Layout: requested with setNeedsLayout, run before the next drawing.
  void setNeedsLayout();
  bool needsLayout() const { return _needsLayout; }
  void layoutIfNeeded();
  virtual void layoutSubviews() {}
  virtual Size sizeThatFits(Size size) const { return size.width == 0 ? _bounds.size : size; }
  void sizeToFit();

  // Display: drawRect draws the view's own content into its backing bitmap, in its bounds'
  // coordinates (y down); it runs again only after setNeedsDisplay or a change of size.
  void setNeedsDisplay();
  bool needsDisplay() const { return _needsDisplay; }
  virtual void drawRect(BitmapContext& context, Rect rect);
  // Content drawn directly each frame instead (a picture, as a layer's contents).
  virtual void drawLayerContents(BitmapContext&, double /*scale*/) const {}

  // Tree events for subclasses.
  virtual void willMoveToSuperview(UIView*) {}
  virtual void didMoveToSuperview() {}
  virtual void didMoveToWindow() {}
  virtual void didAddSubview(UIView*) {}
  virtual void willRemoveSubview(UIView*) {}

  // Interface files: applies one attribute of the view's element; false with `error` set when
  // the name is unknown or the value malformed. Subclasses handle their own and defer the rest.
  virtual bool applyAttribute(const std::string& name, const std::string& value,
                              InterfaceContext& context, std::string& error);
  // Called once the whole file is loaded and its outlets bound.
  virtual void awakeFromNib() {}

  // Block animations on the main run loop's clock: property changes made inside `animations`
  // take effect at once in the model and are drawn moving from their old values over
  // `duration` seconds after `delay`. `completion` runs when all of them have ended, told
  // whether they all reached their end.
  static void animateWithDuration(double duration, const std::function<void()>& animations);
  static void animateWithDuration(double duration, const std::function<void()>& animations,
                                  std::function<void(bool)> completion);
  static void animateWithDuration(double duration, double delay, UIViewAnimationOptions options,
                                  const std::function<void()>& animations,
                                  std::function<void(bool)> completion);
  static void setAnimationsEnabled(bool enabled);
  static bool areAnimationsEnabled();

  // The geometry and opacity drawn at `now`: the model values unless an animation runs.
  Point presentationCenter(double now) const;
  Rect presentationBounds(double now) const;
  AffineTransform presentationTransform(double now) const;
  double presentationAlpha(double now) const;
  std::optional<UIColor> presentationBackgroundColor(double now) const;

  // The drawRect content for `bounds` at `scale`, drawn again only after setNeedsDisplay or a
  // change of size; null when the view's class does not draw for itself.
  const Image* backingImage(const Rect& bounds, double scale);
  // Where the view's own drawing (not its children's) can reach, in its bounds' coordinates, when
  // its bounds are `bounds`: the bounds themselves unless its content may spill over them.
  virtual Rect drawnExtent(const Rect& bounds) const { return bounds; }
  // Identifies the view for the compositor's record of what it showed, never reused.
  std::uint64_t compositeId() const { return _compositeId; }
  // Counts the changes of what the view draws itself (content, colours, corners, border).
  std::uint64_t contentVersion() const { return _contentVersion; }

 protected:
  // Something drawn changed: the compositor and the rasterized layers above must draw again.
  void setNeedsComposite();

 private:
  friend class Compositor;
  // The view moved, turned, faded or hid: the rasterized layers above must draw again.
  void placementChanged();
  // Records an animation of `keyPath` when inside an animation block.
  void animateChange(const std::string& keyPath, AnimationValue from, AnimationValue to);
  void attach(std::shared_ptr<UIView> view, size_t index);
  void notifyMovedToWindow();

  Rect _bounds;
  Point _center;
  AffineTransform _transform;
  double _alpha = 1;
  bool _hidden = false;
  int _tag = 0;
  std::optional<UIColor> _backgroundColor;
  bool _clipsToBounds = false;
  bool _userInteractionEnabled = true;
  bool _opaque = true;
  UIViewContentMode _contentMode = UIViewContentMode::ScaleToFill;
  bool _needsLayout = true;
  bool _needsDisplay = true;
  bool _drawRectIsBase = false;
  std::shared_ptr<Image> _backing;
  double _backingScale = 0;
  Size _backingSize;
  std::uint64_t _compositeId;
  std::uint64_t _contentVersion = 0;
  UIView* _superview = nullptr;
  std::vector<std::shared_ptr<UIView>> _subviews;
  CALayer _layer{*this};
  UIViewController* _owningController = nullptr;
  bool _multipleTouchEnabled = false;
  std::vector<std::shared_ptr<UIGestureRecognizer>> _gestureRecognizers;
};

}  // namespace platform
