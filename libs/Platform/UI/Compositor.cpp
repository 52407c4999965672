#include "UI/Compositor.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <optional>
#include <unordered_map>

#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "UI/ImageDrawing.h"
#include "UI/UIApplication.h"
#include "UI/UITheme.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

std::atomic<std::uint64_t> serial{1};

std::function<void()>& changeObserver() {
  static std::function<void()> observer;
  return observer;
}

struct Pass {
  double now;
  double scale;
};

void drawView(BitmapContext& context, UIView& view, double alpha, const Pass& pass);
void drawBody(BitmapContext& context, UIView& view, double alpha, const Rect& bounds,
              const Pass& pass);

AffineTransform toParent(Point center, Rect bounds, const AffineTransform& transform) {
  AffineTransform t = AffineTransform::makeTranslation(-bounds.origin.x - bounds.size.width / 2,
                                                       -bounds.origin.y - bounds.size.height / 2);
  t = AffineTransform::concat(t, transform);
  return AffineTransform::concat(t, AffineTransform::makeTranslation(center.x, center.y));
}

// A canvas of `size` points at `scale` whose user space is `bounds` with y down.
std::unique_ptr<BitmapContext> canvasFor(const Rect& bounds, double scale) {
  int w = Bitmap::pixelLength(bounds.size.width, scale);
  int h = Bitmap::pixelLength(bounds.size.height, scale);
  auto context = BitmapContext::create(w, h, true);
  if (!context) return nullptr;
  context->translateCTM(0, h);
  context->scaleCTM(scale, -scale);
  context->translateCTM(-bounds.origin.x, -bounds.origin.y);
  return context;
}

std::shared_ptr<Image> withScale(const std::shared_ptr<Image>& image, double scale) {
  return image ? Image::imageWithBitmap(image->sharedBitmap(), scale) : nullptr;
}

bool subtreeAnimating(const UIView& view) {
  if (view.layer().hasRunningAnimations()) return true;
  for (const auto& child : view.subviews())
    if (subtreeAnimating(*child)) return true;
  return false;
}

void drawBorder(BitmapContext& context, const CALayer& layer, const Rect& bounds) {
  double w = layer.borderWidth();
  if (!(w > 0)) return;
  UIColor c = layer.borderColor();
  context.setFillColor(c.red, c.green, c.blue, c.alpha);
  context.beginPath();
  addRoundedRect(context, bounds, layer.cornerRadius());
  addRoundedRect(context, bounds.insetBy(w, w), std::max(0.0, layer.cornerRadius() - w));
  context.fillPath(FillRule::EvenOdd);
}

void drawContentAndChildren(BitmapContext& context, UIView& view, double alpha, const Rect& bounds,
                            const Pass& pass) {
  GStateSaver saver(context);
  const CALayer& layer = view.layer();
  context.setAlpha(alpha);
  if (auto bg = view.presentationBackgroundColor(pass.now); bg && bg->alpha > 0) {
    context.setFillColor(bg->red, bg->green, bg->blue, bg->alpha);
    context.beginPath();
    addRoundedRect(context, bounds, layer.cornerRadius());
    context.fillPath();
  }
  if (view.clipsToBounds()) {
    context.beginPath();
    addRoundedRect(context, bounds, layer.cornerRadius());
    context.clip();
  }
  view.drawLayerContents(context, pass.scale);
  if (const Image* image = view.backingImage(bounds, pass.scale)) {
    context.setAlpha(alpha);
    drawPicture(context, *image, bounds);
  }
  drawBorder(context, layer, bounds);
  for (const auto& child : view.subviews()) drawView(context, *child, alpha, pass);
}

void drawRasterized(BitmapContext& context, UIView& view, double alpha, const Rect& bounds,
                    const Pass& pass) {
  CALayer::RasterCache& cache = view.layer().rasterCache();
  if (!cache.image || cache.scale != pass.scale || cache.size != bounds.size) {
    cache.image.reset();
    if (auto canvas = canvasFor(bounds, pass.scale)) {
      drawContentAndChildren(*canvas, view, 1, bounds, pass);
      cache.image = withScale(canvas->takeImage(), pass.scale);
      cache.scale = pass.scale;
      cache.size = bounds.size;
    }
  }
  if (!cache.image) return;
  GStateSaver saver(context);
  context.setAlpha(alpha);
  drawPicture(context, *cache.image, bounds);
}

void drawBody(BitmapContext& context, UIView& view, double alpha, const Rect& bounds,
              const Pass& pass) {
  if (view.layer().shouldRasterize() && !subtreeAnimating(view)) {
    drawRasterized(context, view, alpha, bounds, pass);
  } else {
    drawContentAndChildren(context, view, alpha, bounds, pass);
  }
}

void drawTransition(BitmapContext& context, UIView& view, double alpha, const Rect& bounds,
                    const CALayer::RunningTransition& running, const Pass& pass) {
  double t = std::clamp(running.progress(pass.now), 0.0, 1.0);
  const CATransition& transition = *running.transition;
  GStateSaver clip(context);
  if (view.clipsToBounds()) {
    context.beginPath();
    addRoundedRect(context, bounds, view.layer().cornerRadius());
    context.clip();
  }
  const Image* before = running.before.get();
  if (transition.type() == kCATransitionPush) {
    double w = bounds.size.width, h = bounds.size.height;
    Point in, out;  // offsets of the arriving and the leaving look
    const std::string& from = transition.subtype();
    if (from == kCATransitionFromRight) {
      in = {(1 - t) * w, 0}, out = {-t * w, 0};
    } else if (from == kCATransitionFromTop) {
      in = {0, -(1 - t) * h}, out = {0, t * h};
    } else if (from == kCATransitionFromBottom) {
      in = {0, (1 - t) * h}, out = {0, -t * h};
    } else {
      in = {-(1 - t) * w, 0}, out = {t * w, 0};
    }
    if (before) {
      GStateSaver saver(context);
      context.setAlpha(alpha);
      drawPicture(context, *before, Rect(bounds.origin.x + out.x, bounds.origin.y + out.y, w, h));
    }
    GStateSaver saver(context);
    context.translateCTM(in.x, in.y);
    drawBody(context, view, alpha, bounds, pass);
    return;
  }
  // Fade, and any type not drawn otherwise: the old look fades out over the new one fading in.
  drawBody(context, view, alpha * t, bounds, pass);
  if (before) {
    GStateSaver saver(context);
    context.setAlpha(alpha * (1 - t));
    drawPicture(context, *before, bounds);
  }
}

void drawView(BitmapContext& context, UIView& view, double alpha, const Pass& pass) {
  if (view.isHidden()) return;
  double a = alpha * view.presentationAlpha(pass.now);
  if (a <= 0) return;
  Rect bounds = view.presentationBounds(pass.now);
  GStateSaver saver(context);
  context.concatCTM(
      toParent(view.presentationCenter(pass.now), bounds, view.presentationTransform(pass.now)));
  const auto& transitions = view.layer().transitions();
  if (!transitions.empty() && std::isfinite(pass.now)) {
    const auto& running = transitions.begin()->second;
    if (running.progress(pass.now) < 1) {
      drawTransition(context, view, a, bounds, running, pass);
      return;
    }
  }
  drawBody(context, view, a, bounds, pass);
}

void drawStatusBar(BitmapContext& context, const UIApplication& app, double width) {
  if (app.isStatusBarHidden()) return;
  GStateSaver saver(context);
  Rect bar(0, 0, width, 20);
  bool dark = app.statusBarStyle() != UIStatusBarStyle::Default;
  double barAlpha = app.statusBarStyle() == UIStatusBarStyle::BlackTranslucent ? 0.5 : 1;
  const UITheme& theme = UITheme::current();
  UIColor shade = dark ? theme.statusBarDark : theme.statusBarLight;
  context.setFillColor(shade.red, shade.green, shade.blue, shade.alpha * barAlpha);
  context.fillRect(bar);
  // The battery, in the contrasting colour.
  UIColor ink = dark ? theme.statusBarDarkInk : theme.statusBarLightInk;
  context.setFillColor(ink.red, ink.green, ink.blue, ink.alpha);
  context.beginPath();
  context.addRect(Rect(width - 30, 6, 22, 9));
  context.addRect(Rect(width - 29, 7, 20, 7));
  context.fillPath(FillRule::EvenOdd);
  context.fillRect(Rect(width - 28, 8, 14, 5));
  context.fillRect(Rect(width - 8, 8.5, 2, 4));
  // Signal bars.
  for (int i = 0; i < 5; ++i) context.fillRect(Rect(6 + i * 4, 14 - i * 2, 3, 2 + i * 2));
}

// What one view looked like in a frame: everything that decides the pixels of its own drawing,
// and where on the canvas they can be. Inherited state (transform, opacity, clip, paint order,
// drawing through a rasterized layer) is folded in, so a change above a view changes its look.
struct ViewLook {
  AffineTransform ctm;  // the view's bounds to canvas pixels
  double alpha = 1;
  Rect bounds;
  std::optional<UIColor> background;
  Rect clip;    // canvas pixels
  Rect extent;  // canvas pixels its own drawing can reach, clipped
  std::uint64_t content = 0;
  std::uint64_t place = 0;  // paint order and drawing path from the root
  double transition = -1;
  const Image* before = nullptr;
  bool operator==(const ViewLook&) const = default;
};

struct StatusBarLook {
  bool hidden = true;
  UIStatusBarStyle style = UIStatusBarStyle::Default;
  bool operator==(const StatusBarLook&) const = default;
};

std::uint64_t mix(std::uint64_t a, std::uint64_t b) {
  std::uint64_t x = a * 0x9E3779B97F4A7C15ull + b + 0x632BE59BD9B4E019ull;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
  return x ^ (x >> 31);
}

Rect onCanvas(const AffineTransform& ctm, const Rect& rect) {
  return ctm.apply(rect.standardized());
}

Rect unionOf(const Rect& a, const Rect& b) {
  if (a.isEmpty()) return b;
  if (b.isEmpty()) return a;
  double x0 = std::min(a.minX(), b.minX()), y0 = std::min(a.minY(), b.minY());
  double x1 = std::max(a.maxX(), b.maxX()), y1 = std::max(a.maxY(), b.maxY());
  return Rect(x0, y0, x1 - x0, y1 - y0);
}

// Walks the tree exactly as drawView and drawBody do, recording each drawn view's look instead
// of drawing it. Where drawing can reach is overestimated, never under.
class LookCollector {
 public:
  LookCollector(double now, std::unordered_map<std::uint64_t, ViewLook>& looks)
      : _now(now), _looks(looks) {}

  void view(UIView& view, const AffineTransform& parent, double alpha, const Rect& clip,
            std::uint64_t place) {
    if (view.isHidden()) return;
    double a = alpha * view.presentationAlpha(_now);
    if (a <= 0) return;
    Rect bounds = view.presentationBounds(_now);
    AffineTransform ctm = AffineTransform::concat(
        toParent(view.presentationCenter(_now), bounds, view.presentationTransform(_now)), parent);
    const auto& transitions = view.layer().transitions();
    if (!transitions.empty() && std::isfinite(_now)) {
      const auto& running = transitions.begin()->second;
      if (double p = running.progress(_now); p < 1) {
        double t = std::clamp(p, 0.0, 1.0);
        Rect inner = view.clipsToBounds() ? clip.intersection(onCanvas(ctm, bounds)) : clip;
        const Image* before = running.before.get();
        if (running.transition->type() == kCATransitionPush) {
          // Both looks slide by at most the view's size, either way.
          double w = bounds.size.width, h = bounds.size.height;
          Rect reach = onCanvas(ctm, Rect(bounds.origin.x - w, bounds.origin.y - h, 3 * w, 3 * h));
          Point in = pushOffset(running.transition->subtype(), t, w, h);
          body(view, AffineTransform::concat(AffineTransform::makeTranslation(in.x, in.y), ctm), a,
               bounds, inner, place, reach.intersection(inner), t, before);
        } else {
          body(view, ctm, a * t, bounds, inner, place, onCanvas(ctm, bounds).intersection(inner), t,
               before);
        }
        return;
      }
    }
    body(view, ctm, a, bounds, clip, place, Rect(), -1, nullptr);
  }

  void body(UIView& view, const AffineTransform& ctm, double alpha, const Rect& bounds,
            const Rect& clip, std::uint64_t place, const Rect& extra, double transition,
            const Image* before) {
    bool rasterized = view.layer().shouldRasterize() && !subtreeAnimating(view);
    place = mix(place, rasterized ? 1 : 0);
    ViewLook look;
    look.ctm = ctm;
    look.alpha = alpha;
    look.bounds = bounds;
    look.background = view.presentationBackgroundColor(_now);
    look.clip = clip;
    look.extent = unionOf(onCanvas(ctm, view.drawnExtent(bounds)).intersection(clip), extra);
    look.content = view.contentVersion();
    look.place = place;
    look.transition = transition;
    look.before = before;
    _looks[view.compositeId()] = look;
    Rect inner = view.clipsToBounds() ? clip.intersection(onCanvas(ctm, bounds)) : clip;
    std::uint64_t index = 0;
    for (const auto& child : view.subviews())
      this->view(*child, ctm, alpha, inner, mix(place, ++index));
  }

  // Where the arriving look of a push transition is at `t`.
  static Point pushOffset(const std::string& from, double t, double w, double h) {
    if (from == kCATransitionFromRight) return {(1 - t) * w, 0};
    if (from == kCATransitionFromTop) return {0, -(1 - t) * h};
    if (from == kCATransitionFromBottom) return {0, (1 - t) * h};
    return {-(1 - t) * w, 0};
  }

 private:
  double _now;
  std::unordered_map<std::uint64_t, ViewLook>& _looks;
};

// Whole canvas pixels around `r`, with a margin for antialiased and filtered edges.
void addDamage(std::vector<Rect>& damage, const Rect& r, int width, int height) {
  if (r.isEmpty()) return;
  constexpr double kMargin = 2;
  double x0 = std::max(0.0, std::floor(r.minX()) - kMargin);
  double y0 = std::max(0.0, std::floor(r.minY()) - kMargin);
  double x1 = std::min<double>(width, std::ceil(r.maxX()) + kMargin);
  double y1 = std::min<double>(height, std::ceil(r.maxY()) + kMargin);
  if (x1 > x0 && y1 > y0) damage.push_back(Rect(x0, y0, x1 - x0, y1 - y0));
}

bool containsRect(const Rect& outer, const Rect& inner) {
  return outer.minX() <= inner.minX() && outer.minY() <= inner.minY() &&
         outer.maxX() >= inner.maxX() && outer.maxY() >= inner.maxY();
}

double area(const Rect& r) {
  return r.width() * r.height();
}

// Each rectangle is drawn in a pass of its own: few of them keep that cheap. The ones inside
// others go, and while there are too many the two whose union adds the least are joined.
std::vector<Rect> simplified(std::vector<Rect> damage) {
  constexpr size_t kMostPasses = 4;
  std::vector<Rect> kept;
  std::sort(damage.begin(), damage.end(),
            [](const Rect& a, const Rect& b) { return area(a) > area(b); });
  for (const Rect& r : damage)
    if (std::none_of(kept.begin(), kept.end(), [&](const Rect& k) { return containsRect(k, r); }))
      kept.push_back(r);
  while (kept.size() > kMostPasses) {
    size_t bestI = 0, bestJ = 1;
    double bestCost = std::numeric_limits<double>::infinity();
    for (size_t i = 0; i < kept.size(); ++i)
      for (size_t j = i + 1; j < kept.size(); ++j) {
        double cost = area(unionOf(kept[i], kept[j])) - area(kept[i]) - area(kept[j]);
        if (cost < bestCost) bestCost = cost, bestI = i, bestJ = j;
      }
    kept[bestI] = unionOf(kept[bestI], kept[bestJ]);
    kept.erase(kept.begin() + static_cast<std::ptrdiff_t>(bestJ));
  }
  return kept;
}

}  // namespace

struct Compositor::Shown {
  const UIWindow* window = nullptr;
  double scale = 0;
  StatusBarLook statusBar;
  std::unordered_map<std::uint64_t, ViewLook> views;
};

Compositor::Compositor() : _shown(std::make_unique<Shown>()) {}

Compositor::~Compositor() = default;

void Compositor::setChangeObserver(std::function<void()> observer) {
  changeObserver() = std::move(observer);
}

void Compositor::setNeedsComposite() {
  serial.fetch_add(1, std::memory_order_relaxed);
  if (const auto& observer = changeObserver()) observer();
}

std::uint64_t Compositor::changeSerial() {
  return serial.load(std::memory_order_relaxed);
}

std::shared_ptr<Image> Compositor::renderWindow(UIWindow& window, double scale, double now) {
  updateWindow(window, scale, now, true);
  return _canvas ? withScale(_canvas->makeImage(), scale) : nullptr;
}

std::vector<Rect> Compositor::updateWindow(UIWindow& window, double scale, double now,
                                           bool everything) {
  window.layoutIfNeeded();
  Rect bounds = window.bounds();
  int w = Bitmap::pixelLength(bounds.size.width, scale);
  int h = Bitmap::pixelLength(bounds.size.height, scale);
  if (!_canvas || _canvas->width() != w || _canvas->height() != h) {
    _canvas = BitmapContext::create(w, h, false);
    if (!_canvas) {
      *_shown = Shown{};
      return {};
    }
    _canvas->translateCTM(0, h);
    _canvas->scaleCTM(scale, -scale);
    everything = true;
  }
  const UIApplication& app = UIApplication::sharedApplication();
  Shown next;
  next.window = &window;
  next.scale = scale;
  next.statusBar = StatusBarLook{app.isStatusBarHidden(), app.statusBarStyle()};
  Rect canvasRect(0, 0, w, h);
  AffineTransform base =
      AffineTransform::concat(AffineTransform::makeTranslation(-bounds.origin.x, -bounds.origin.y),
                              AffineTransform::makeScale(scale, scale));
  LookCollector(now, next.views)
      .body(window, base, window.presentationAlpha(now), window.presentationBounds(now), canvasRect,
            0, Rect(), -1, nullptr);

  std::vector<Rect> damage;
  if (everything || _shown->window != &window || _shown->scale != scale) {
    damage.push_back(canvasRect);
  } else {
    for (const auto& [id, look] : next.views) {
      auto was = _shown->views.find(id);
      if (was == _shown->views.end()) {
        addDamage(damage, look.extent, w, h);
      } else if (!(was->second == look)) {
        addDamage(damage, was->second.extent, w, h);
        addDamage(damage, look.extent, w, h);
      }
    }
    for (const auto& [id, look] : _shown->views)
      if (!next.views.count(id)) addDamage(damage, look.extent, w, h);
    if (!(next.statusBar == _shown->statusBar))
      addDamage(damage, Rect(0, 0, w, std::ceil(20 * scale)), w, h);
    damage = simplified(std::move(damage));
  }
  *_shown = std::move(next);
  if (damage.empty()) return damage;

  // Each region is drawn whole on a scratch canvas a margin larger, and only the region is
  // copied: shapes cut by a canvas's or a clip's edge rasterize a little differently near it
  // (antialiasing moved by a level here and there), so a frame drawn in parts would not be the
  // very frame drawn whole.
  constexpr double kMargin = 8;
  Pass pass{now, scale};
  for (const Rect& region : damage) {
    Rect around = Rect(region.origin.x - kMargin, region.origin.y - kMargin,
                       region.size.width + 2 * kMargin, region.size.height + 2 * kMargin)
                      .intersection(canvasRect);
    bool whole = around == canvasRect;
    std::unique_ptr<BitmapContext> scratch;
    if (!whole) {
      scratch = BitmapContext::create(static_cast<int>(around.width()),
                                      static_cast<int>(around.height()), false);
      if (!scratch) continue;
      // Canvas pixels less the scratch's corner, in the canvas's space (y up from its bottom).
      scratch->translateCTM(-around.origin.x, around.height() + around.origin.y);
      scratch->scaleCTM(scale, -scale);
    }
    BitmapContext& target = whole ? *_canvas : *scratch;
    GStateSaver saver(target);
    target.clearRect(Rect(0, 0, bounds.size.width, bounds.size.height));
    target.translateCTM(-bounds.origin.x, -bounds.origin.y);
    drawBody(target, window, window.presentationAlpha(now), window.presentationBounds(now), pass);
    drawStatusBar(target, app, bounds.size.width);
    if (!whole)
      _canvas->copyPixels(*scratch,
                          Rect(region.origin.x - around.origin.x, region.origin.y - around.origin.y,
                               region.size.width, region.size.height),
                          region.origin);
  }
  return damage;
}

void Compositor::renderLayerInContext(UIView& view, BitmapContext& context) {
  view.layoutIfNeeded();
  AffineTransform ctm = context.getCTM();
  double scale = std::sqrt(std::fabs(ctm.a * ctm.d - ctm.b * ctm.c));
  Pass pass{std::numeric_limits<double>::infinity(), scale > 0 ? scale : 1};
  drawBody(context, view, view.alpha(), view.bounds(), pass);
}

std::shared_ptr<Image> Compositor::snapshot(UIView& view) {
  double now = RunLoop::main().now();
  Rect bounds = view.presentationBounds(now);
  if (bounds.isEmpty() || view.isHidden()) return nullptr;
  double scale = DeviceProfile::current().scale;
  auto canvas = canvasFor(bounds, scale);
  if (!canvas) return nullptr;
  view.layoutIfNeeded();
  drawBody(*canvas, view, 1, bounds, Pass{now, scale});
  return withScale(canvas->takeImage(), scale);
}

}  // namespace platform
