#include "UI/Compositor.h"

#include <atomic>
#include <cmath>
#include <limits>

#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "UI/ImageDrawing.h"
#include "UI/UIApplication.h"
#include "UI/UITheme.h"
#include "UI/UIWindow.h"

namespace platform {
namespace {

std::atomic<std::uint64_t> serial{1};

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

}  // namespace

void Compositor::setNeedsComposite() {
  serial.fetch_add(1, std::memory_order_relaxed);
}

std::uint64_t Compositor::changeSerial() {
  return serial.load(std::memory_order_relaxed);
}

std::shared_ptr<Image> Compositor::renderWindow(UIWindow& window, double scale, double now) {
  window.layoutIfNeeded();
  Rect bounds = window.bounds();
  int w = Bitmap::pixelLength(bounds.size.width, scale);
  int h = Bitmap::pixelLength(bounds.size.height, scale);
  if (!_canvas || _canvas->width() != w || _canvas->height() != h) {
    _canvas = BitmapContext::create(w, h, false);
    if (!_canvas) return nullptr;
    _canvas->translateCTM(0, h);
    _canvas->scaleCTM(scale, -scale);
  }
  GStateSaver saver(*_canvas);
  _canvas->clearRect(Rect(0, 0, bounds.size.width, bounds.size.height));
  _canvas->translateCTM(-bounds.origin.x, -bounds.origin.y);
  Pass pass{now, scale};
  drawBody(*_canvas, window, window.presentationAlpha(now), window.presentationBounds(now), pass);
  drawStatusBar(*_canvas, UIApplication::sharedApplication(), bounds.size.width);
  return withScale(_canvas->makeImage(), scale);
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
