#include "FoundationPages.h"

#include "AppUI/LoadingView.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageCanvas.h"

using namespace platform;

namespace {

// The balloon's three pieces, drawn here: a body of kBody points with a pointer of kTip below
// the middle piece.
constexpr double kBody = 44, kTip = 12, kRadius = 12;
const UIColor kBalloonColor{1, 0.93, 0.8, 1};

void fillBody(BitmapContext& context, Rect body, bool roundLeft, bool roundRight) {
  context.setFillColor(kBalloonColor.red, kBalloonColor.green, kBalloonColor.blue, 1);
  // Straight sides run past the picture's edge: their edge columns stay fully covered.
  double x0 = body.origin.x - (roundLeft ? 0 : 1);
  double x1 = body.origin.x + body.size.width + (roundRight ? 0 : 1);
  double y0 = body.origin.y, y1 = body.origin.y + body.size.height;
  double k = kRadius * 0.5523;
  context.beginPath();
  if (roundLeft) {
    context.moveToPoint(x0 + kRadius, y0);
  } else {
    context.moveToPoint(x0, y0);
  }
  if (roundRight) {
    context.addLineToPoint(x1 - kRadius, y0);
    context.addCurveToPoint(x1 - kRadius + k, y0, x1, y0 + kRadius - k, x1, y0 + kRadius);
    context.addLineToPoint(x1, y1 - kRadius);
    context.addCurveToPoint(x1, y1 - kRadius + k, x1 - kRadius + k, y1, x1 - kRadius, y1);
  } else {
    context.addLineToPoint(x1, y0);
    context.addLineToPoint(x1, y1);
  }
  if (roundLeft) {
    context.addLineToPoint(x0 + kRadius, y1);
    context.addCurveToPoint(x0 + kRadius - k, y1, x0, y1 - kRadius + k, x0, y1 - kRadius);
    context.addLineToPoint(x0, y0 + kRadius);
    context.addCurveToPoint(x0, y0 + kRadius - k, x0 + kRadius - k, y0, x0 + kRadius, y0);
  } else {
    context.addLineToPoint(x0, y1);
  }
  context.closePath();
  context.fillPath();
}

std::shared_ptr<Image> piece(double width, bool roundLeft, bool roundRight, bool tip) {
  ImageCanvasScope canvas(Size(width, kBody + kTip), false, 0);
  BitmapContext* context = canvas.context();
  if (!context) return nullptr;
  fillBody(*context, Rect(0, 0, width, kBody), roundLeft, roundRight);
  if (tip) {
    context->beginPath();
    context->moveToPoint(0, kBody - 0.5);
    context->addLineToPoint(width, kBody - 0.5);
    context->addLineToPoint(width / 2, kBody + kTip);
    context->closePath();
    context->fillPath();
  }
  return canvas.image();
}

}  // namespace

LoadingPage::LoadingPage() : GalleryPage("loading", Gallery::text("_Loc_GalleryLoadingTitle")) {}

void LoadingPage::buildPage(UIView& page) {
  double width = page.bounds().size.width;
  auto explanation = Gallery::caption(Rect(20, 52, width - 40, 72),
                                      Gallery::text("_Loc_GalleryLoadingExplanation"), 15);
  explanation->setNumberOfLines(3);
  page.addSubview(explanation);
  // The indicator covers this panel, which takes no touches while it shows.
  _panel = std::make_shared<UIView>(Rect(20, 130, width - 40, page.bounds().size.height - 150));
  _panel->setBackgroundColor(UIColor{1, 1, 1, 0.08});
  _panel->layer().setCornerRadius(10);
  page.addSubview(_panel);
  _show = Gallery::button(Rect(20, 20, _panel->bounds().size.width - 40, 44),
                          Gallery::text("_Loc_GalleryLoadingShow"), [this] {
                            LoadingView::showInView(*_panel);
                            RunLoop::main().schedule(2, [] { LoadingView::hide(); });
                          });
  _panel->addSubview(_show);
}

BalloonPage::BalloonPage() : GalleryPage("balloon", Gallery::text("_Loc_GalleryBalloonTitle")) {}

void BalloonPage::buildPage(UIView& page) {
  _page = std::static_pointer_cast<UIView>(page.shared_from_this());
  Size size = page.bounds().size;
  auto explanation = Gallery::caption(Rect(20, 56, size.width - 40, 44),
                                      Gallery::text("_Loc_GalleryBalloonExplanation"), 15);
  explanation->setNumberOfLines(2);
  page.addSubview(explanation);
  const double xs[] = {24, size.width / 2 - 40, size.width - 104};
  const double ys[] = {size.height - 80, size.height / 2 - 60, size.height - 190};
  for (int i = 0; i < 3; ++i) {
    auto target = Gallery::button(Rect(xs[i], ys[i], 80, 44), std::to_string(i + 1),
                                  [this, i] { pointAt(i, true); });
    page.addSubview(target);
    _targets.push_back(target);
  }
  _balloon = std::make_shared<BaloonView>(Rect(0, 0, 240, kBody + kTip));
  // The side pieces are no wider than their rounded ends, so that a pointer near an end still
  // leaves them room.
  _balloon->setLeftImage(piece(kRadius + 1, true, false, false), kRadius);
  _balloon->setRightImage(piece(kRadius + 1, false, true, false), kRadius);
  _balloon->setCenterImage(piece(24, false, false, true));
  pointAt(0, false);
}

void BalloonPage::pointAt(int target, bool animated) {
  if (!_page || target < 0 || target >= static_cast<int>(_targets.size())) return;
  auto label = std::make_shared<UILabel>(Rect(0, 0, 240, kBody));
  label->setText(Gallery::text("_Loc_GalleryBalloonText") + " " + std::to_string(target + 1));
  label->setTextAlignment(NSTextAlignment::Center);
  label->setTextColor(UIColor{0.15, 0.12, 0.1, 1});
  label->setFont(UIFont::fontWithName("HelveticaNeue-CondensedBold", 17));
  _balloon->showAtView(*_page, label, _targets[target]->frame(), animated);
}
