#include "AppUI/LoadingView.h"

#include <cmath>
#include <mutex>

#include "GeneralTools/AppDelegateScreens.h"
#include "UI/UIActivityIndicatorView.h"
#include "UI/UINavigationController.h"

using namespace platform;

namespace {

std::mutex& sharedViewMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

LoadingView::LoadingView(Rect frame) : UIView(frame) {
  auto wheel = std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
  Size own = bounds().size, size = wheel->bounds().size;
  wheel->setFrame(Rect{std::floor(own.width / 2 - size.width / 2),
                       std::floor(own.height / 2 - size.height / 2), size.width, size.height});
  addSubview(wheel);
  wheel->startAnimating();
  setBackgroundColor(UIColor::blackColor().colorWithAlphaComponent(0.7));
  layer().setCornerRadius(7);
}

std::shared_ptr<LoadingView>& LoadingView::sharedSlot() {
  // Never released: screens keep showing and hiding the same indicator.
  static auto* slot = new std::shared_ptr<LoadingView>();
  return *slot;
}

const std::shared_ptr<LoadingView>& LoadingView::sharedView() {
  auto& slot = sharedSlot();
  if (!slot) slot = std::make_shared<LoadingView>(Rect{0, 0, kWidth, kHeight});
  return slot;
}

UIActivityIndicatorView& LoadingView::wheel() const {
  return static_cast<UIActivityIndicatorView&>(*subviews().front());
}

void LoadingView::show() {
  AppDelegateScreens* delegate = AppDelegateScreens::current();
  if (!delegate) return;
  std::shared_ptr<UIView> target;
  if (auto navigation = delegate->navigationController())
    target = navigation->view();
  else if (auto tabs = delegate->tabBarController())
    target = tabs->view();
  if (target) showInView(*target);
}

void LoadingView::showInView(UIView& view) {
  const auto& loading = sharedView();
  std::lock_guard lock(sharedViewMutex());
  view.setUserInteractionEnabled(false);
  Size size = view.bounds().size;
  loading->setFrame(Rect{(size.width - kWidth) / 2, (size.height - kHeight) / 3, kWidth, kHeight});
  loading->setAlpha(0);
  view.addSubview(loading);
  loading->wheel().startAnimating();
  UIView::animateWithDuration(
      kFadeInDuration, 0,
      UIViewAnimationOptionBeginFromCurrentState | UIViewAnimationOptionCurveEaseOut,
      [&] { loading->setAlpha(1); }, nullptr);
}

void LoadingView::hide() {
  const auto& loading = sharedSlot();
  if (!loading || !loading->superview()) return;
  loading->superview()->setUserInteractionEnabled(true);
  loading->removeFromSuperview();
  // Out of sight the wheel need not keep the run loop busy.
  loading->wheel().stopAnimating();
}
