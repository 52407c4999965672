#include "AppUI/CompositionSaver.h"

#include "AppUI/LoadingView.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "Graphics/ImageCanvas.h"
#include "UI/UIActivityViewController.h"
#include "UI/UIAlertView.h"
#include "UI/UIImageWriteToSavedPhotosAlbum.h"
#include "UI/UIScreen.h"

using namespace platform;

CompositionSaver::CompositionSaver(std::weak_ptr<UIViewController> presenter,
                                   CompositionSource source)
    : _presenter(std::move(presenter)), _source(std::move(source)) {}

void CompositionSaver::saveImage() {
  Tools::Instance().eventHappened("saveImage", std::string(), 0);
  LoadingView::show();
  std::weak_ptr<CompositionSaver> weak = weak_from_this();
  RunLoop::main().post([weak] {
    if (auto self = weak.lock()) {
      self->doSaveImage();
    } else {
      LoadingView::hide();
    }
  });
}

std::shared_ptr<Image> CompositionSaver::renderComposition(UIView& assetView) {
  ImageCanvasScope canvas(assetView.frame().size, false, UIScreen::mainScreen().scale());
  BitmapContext* context = canvas.context();
  if (!context) return nullptr;
  context->setFillColor(0, 0, 0, 1);
  context->fillRect(assetView.bounds());
  assetView.layer().renderInContext(*context);
  return canvas.image();
}

void CompositionSaver::doSaveImage() {
  Composition composition = _source ? _source() : Composition{};
  if (composition.frames) composition.frames->prepareToSave();
  if (composition.backgrounds) {
    if (composition.backgrounds->haveOutOfListImage()) {
      Tools::Instance().eventHappened("userPhotoUsed", std::string(), 1);
    } else {
      composition.backgrounds->prepareToSave();
    }
  }
  if (composition.tbFrames) composition.tbFrames->prepareToSave();

  auto picture = composition.assetView ? renderComposition(*composition.assetView) : nullptr;
  auto presenter = _presenter.lock();
  if (!picture) {
    // Nothing on screen to save (a composition view of no size).
    LoadingView::hide();
    return;
  }
  if (Tools::isSystemVersionGreaterThanOrEqualTo("6.0")) {
    Tools::Instance().eventHappened("share bar", std::string(), 0);
    if (presenter) {
      auto sheet = std::make_shared<UIActivityViewController>(
          std::vector<std::shared_ptr<Image>>{std::move(picture)});
      sheet->setExcludedActivityTypes({UIActivityTypePrint});
      presenter->presentModalViewController(sheet, true);
    }
    LoadingView::hide();
    return;
  }
  // The album answers later on the main loop; the saver stays until then.
  auto self = shared_from_this();
  UIImageWriteToSavedPhotosAlbum(std::move(picture), [self](const std::optional<std::string>& e) {
    self->imageDidFinishSavingWithError(e);
  });
}

void CompositionSaver::imageDidFinishSavingWithError(const std::optional<std::string>& error) {
  LoadingView::hide();
  std::string title = error ? std::string("Error")
                            : Localization::Instance().localizationForKey("_Loc_SuccessTitle");
  std::string message =
      error ? *error : Localization::Instance().localizationForKey("_Loc_SuccessMessage");
  auto alert = std::make_shared<UIAlertView>(
      std::move(title), std::move(message), std::weak_ptr<UIAlertViewDelegate>(), std::nullopt,
      std::vector<std::string>{Localization::Instance().localizationForKey("_Loc_Ok")});
  alert->show();
}
