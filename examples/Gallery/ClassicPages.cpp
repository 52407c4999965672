#include "ClassicPages.h"

#include <cmath>

#include "Foundation/Bundle.h"
#include "GeneralTools/Localization.h"
#include "SVGView/SVGView.h"
#include "UI/CATransition.h"
#include "UI/InterfaceLoader.h"
#include "UI/UIImageView.h"

using namespace platform;

namespace {

// A picture with a frame and a diagonal, so each content mode shows where it put it.
std::shared_ptr<Image> samplePicture() {
  auto bitmap = Bitmap::create(60, 40, PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      bool edge = x < 3 || y < 3 || x >= 57 || y >= 37;
      bool diagonal = std::abs(x * 40 / 60 - y) < 2;
      bitmap->setPixel(x, y, edge ? 0xFFFFCC00u : diagonal ? 0xFFFF3030u : 0xFF2060C0u);
    }
  return Image::imageWithBitmap(bitmap, 2);
}

// Calls `next` at each transition's end.
class Swapper : public CAAnimationDelegate {
 public:
  explicit Swapper(std::function<void()> next) : _next(std::move(next)) {}
  void animationDidStop(const CATransition&, bool finished) override {
    if (finished) _next();
  }

 private:
  std::function<void()> _next;
};

}  // namespace

void ControlsPage::registerOutlets(OutletRegistry& outlets) {
  UIViewController::registerOutlets(outlets);
  outlets.add("page", _page);
  outlets.add("normalButton", _normalButton);
  outlets.add("selectedButton", _selectedButton);
  outlets.add("highlightedButton", _highlightedButton);
  outlets.add("disabledButton", _disabledButton);
  outlets.add("spinner", _spinner);
}

void ControlsPage::loadView() {
  auto result = InterfaceLoader::loadFile(_resources + "/GalleryControls.ui", this,
                                          Bundle::bundleWithPath(_resources));
  _loaded = result.ok() && _page;
  if (!_loaded) {
    GalleryPage::loadView();
    view()->addSubview(Gallery::caption(Rect(10, 60, 300, 60), result.error));
    return;
  }
  // The interface file names its texts by key.
  Localization::localizeView(*_page);
  if (auto selected =
          _selectedButton ? _selectedButton->titleForState(UIControlStateSelected) : std::nullopt)
    _selectedButton->setTitle(Gallery::text(selected->c_str()), UIControlStateSelected);
  setView(_page);
  addTurnButtons(*_page);
}

void ContentModesPage::buildPage(UIView& page) {
  auto picture = samplePicture();
  const char* names[] = {
      "_Loc_GalleryModeScaleToFill", "_Loc_GalleryModeAspectFit", "_Loc_GalleryModeAspectFill",
      "_Loc_GalleryModeRedraw",      "_Loc_GalleryModeCenter",    "_Loc_GalleryModeTop",
      "_Loc_GalleryModeBottom",      "_Loc_GalleryModeLeft",      "_Loc_GalleryModeRight",
      "_Loc_GalleryModeTopLeft",     "_Loc_GalleryModeTopRight",  "_Loc_GalleryModeBottomLeft",
      "_Loc_GalleryModeBottomRight"};
  for (int mode = 0; mode <= 12; ++mode) {
    double x = 12 + (mode % 3) * 102, y = 50 + (mode / 3) * 96;
    auto view = std::make_shared<UIImageView>(Rect(x, y, 92, 70));
    view->setBackgroundColor(UIColor::fromString("#505860"));
    view->setClipsToBounds(true);
    view->setContentMode(static_cast<UIViewContentMode>(mode));
    view->setImage(picture);
    page.addSubview(view);
    page.addSubview(Gallery::caption(Rect(x, y + 72, 92, 16),
                                     std::to_string(mode) + " " + Gallery::text(names[mode]), 11));
  }
}

void SvgStatesPage::buildPage(UIView& page) {
  std::string file = _resources + "/picture.svgpb";
  for (int i = 0; i < 4; ++i) {
    auto svg = std::make_shared<SVGView>(Rect(20 + (i % 2) * 150, 60 + (i / 2) * 200, 130, 160));
    svg->setSvgFile(file);
    svg->setState(i, true);  // a state the picture declares shows its groups
    svg->setNeedsDisplay();
    page.addSubview(svg);
    page.addSubview(Gallery::caption(Rect(20 + (i % 2) * 150, 222 + (i / 2) * 200, 130, 16),
                                     Gallery::text("_Loc_GallerySvgStateOn", {std::to_string(i)})));
  }
}

void AnimationPage::buildPage(UIView& page) {
  _mover = std::make_shared<UIView>(Rect(20, 70, 60, 60));
  _mover->setBackgroundColor(UIColor::fromString("#ffcc00"));
  _mover->layer().setCornerRadius(10);
  page.addSubview(_mover);
  page.addSubview(
      Gallery::caption(Rect(20, 140, 280, 16), Gallery::text("_Loc_GalleryAnimationBlock")));
  _swapBox = std::make_shared<UIView>(Rect(60, 200, 200, 200));
  _swapBox->setClipsToBounds(true);
  _swapContent = std::make_shared<UIImageView>(Rect(0, 0, 200, 200));
  _swapContent->setBackgroundColor(UIColor::fromString("#2060c0"));
  _swapBox->addSubview(_swapContent);
  page.addSubview(_swapBox);
  page.addSubview(
      Gallery::caption(Rect(20, 410, 280, 16), Gallery::text("_Loc_GalleryAnimationTransition")));
}

void AnimationPage::viewDidAppear(bool) {
  ++_run;
  bounce(_run);
  swap(_run);
}

// Both motions run on while the page shows; the gallery keeps its pages for its whole run.
void AnimationPage::bounce(int run) {
  if (run != _run || !_mover->window()) return;
  double target = _mover->center().x < 160 ? 270 : 50;
  UIView::animateWithDuration(
      2.0, 0, UIViewAnimationOptionCurveEaseOut,
      [&] {
        _mover->setCenter(Point{target, _mover->center().y});
        _mover->setTransform(target > 160 ? AffineTransform::makeRotation(M_PI)
                                          : AffineTransform{});
      },
      [this, run](bool finished) {
        if (finished) bounce(run);
      });
}

void AnimationPage::swap(int run) {
  if (run != _run || !_swapBox->window()) return;
  static const char* palette[] = {"#2060c0", "#c03040", "#30a050", "#a050c0"};
  auto transition = CATransition::animation();
  transition->setType(_colour % 2 ? kCATransitionFade : kCATransitionPush);
  transition->setSubtype(kCATransitionFromRight);
  transition->setDuration(0.8);
  transition->setDelegate(std::make_shared<Swapper>([this, run] { swap(run); }));
  _swapBox->layer().addAnimation(transition, "");
  _colour = (_colour + 1) % 4;
  _swapContent->setBackgroundColor(UIColor::fromString(palette[_colour]));
}
