// The editor's help tour: shown once per content type, the first time the editor reaches its
// editing state, stepping through the preview button, the tabs and the gestures.
#include "AppUI/AssetViewController.h"
#include "Content/ContentName.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "UI/InterfaceLoader.h"

using namespace platform;

namespace {

constexpr int kHelpStepTags[] = {4004, 4003, 4000, 4001, 4002, 4005};

const char* overlayHelpKey(std::int32_t contentType) {
  switch (contentType) {
    case ContentTypePhotoFrame:
      return "_Loc_HelpFrames_Title";
    case ContentTypeClipart:
      return "_Loc_HelpCliparts_Title";
    case ContentTypeFaceEffect:
      return "_Loc_HelpFaceFrames_Title";
    default:
      return nullptr;
  }
}

const char* overlayTabPicture(std::int32_t contentType) {
  switch (contentType) {
    case ContentTypeClipart:
      return "btn_preview_tab_art.png";
    case ContentTypeFaceEffect:
      return "btn_preview_tab_face.png";
    default:
      return "btn_preview_tab_frame.png";
  }
}

void setText(const std::shared_ptr<UILabel>& label, const char* key) {
  if (label && key) label->setText(Localization::Instance().localizationForKey(key));
}

void setPicture(const std::shared_ptr<UIImageView>& view, const char* name) {
  if (view) view->setImage(Tools::hiresImageNamed(name));
}

void setAlpha(const std::shared_ptr<UIView>& view, double alpha) {
  if (view) view->setAlpha(alpha);
}

}  // namespace

std::string AssetViewController::helpDisplayedKey() const {
  return "AssetHelpDisplayed" + std::to_string(_contentType);
}

bool AssetViewController::isHelpDisplayed() const {
  return valueForKey(DataSource::data(), helpDisplayedKey()).boolValue().value_or(false);
}

void AssetViewController::prepareHelp() {
  auto bundle = nibBundle() ? nibBundle() : Bundle::mainBundle();
  auto result = InterfaceLoader::loadNibNamed("AssetViewController_Help", this, bundle);
  if (!result.ok() || !helpView) {
    helpView.reset();
    return;
  }
  if (Tools::isIPhone5Screen()) {
    // The file is laid out for the 460-point screen: what sits in its lower half keeps its
    // distance from the bottom edge, next to the controls it points at.
    Rect old = helpView->bounds();
    helpView->setFrame(Rect(0, 0, 320, 548));
    for (const auto& child : helpView->subviews()) {
      Rect frame = child->frame();
      if (frame.origin.y > old.size.height / 2) {
        frame.origin.y += 548 - old.size.height;
        child->setFrame(frame);
      }
    }
  }
  Localization::localizeView(*helpView);
  if (_contentType == ContentTypeBackground) {
    setAlpha(helpUpScrollView, 0);
    if (UIView* overlayOnly = helpView->viewWithTag(kTagHelpOverlayOnly))
      overlayOnly->removeFromSuperview();
  } else if (auto* step = dynamic_cast<UIImageView*>(helpView->viewWithTag(kTagOverlayTab))) {
    auto picture = Tools::hiresImageNamed(overlayTabPicture(_contentType));
    step->setImage(picture);
    if (helpFrameImage) helpFrameImage->setImage(picture);
    if (picture) {
      // The picture's size, about the old centre.
      Point centre = step->center();
      Size size = picture->size();
      step->setFrame(Rect(centre.x - static_cast<int>(size.width / 2),
                          centre.y - static_cast<int>(size.height / 2), size.width, size.height));
    }
  }
  curHelpButton = kTagPreviewButton;
  updateHelpInfoAnimated(false);
}

void AssetViewController::showHelpIfNeeded() {
  if (isHelpDisplayed()) return;
  DataSource::data().insert_or_assign(helpDisplayedKey(), Value(true));
  if (helpView && view()) view()->addSubview(helpView);
}

void AssetViewController::updateHelpInfoAnimated(bool animated) {
  switch (curHelpButton) {
    case kTagPreviewButton:
      setText(helpLabelDown1, "_Loc_HelpPreview_Title");
      setPicture(helpTextBaloonDown1, "help_textbox_1.png");
      setAlpha(helpTextBaloonUp, 0);
      setAlpha(helpLabelUp, 0);
      break;
    case kTagOverlayTab:
      setText(helpLabelDown1, overlayHelpKey(_contentType));
      setPicture(helpTextBaloonDown1, "help_textbox_2.png");
      setAlpha(helpTextBaloonUp, 1);
      setAlpha(helpLabelUp, 1);
      setPicture(helpTextBaloonUp, "help_textbox_2_top.png");
      break;
    case kTagBackgroundTab:
      setText(helpLabelDown1, "_Loc_HelpImages_Title");
      setPicture(helpTextBaloonDown1, "help_textbox_3.png");
      setAlpha(helpTextBaloonUp, 1);
      setAlpha(helpLabelUp, 1);
      setPicture(helpTextBaloonUp, "help_textbox_3_top.png");
      break;
    case kTagPhotoTab:
      setText(helpLabelDown1, "_Loc_HelpPhoto_Title");
      setPicture(helpTextBaloonDown1, "help_textbox_4.png");
      setAlpha(helpTextBaloonUp, 0);
      setAlpha(helpLabelUp, 0);
      break;
    case kTagSaveButton:
      setAlpha(helpGesturesView, 1);
      setAlpha(helpScrollersView, 0);
      break;
    default:
      break;
  }
  if (!helpView) return;
  auto showStep = [this] {
    for (int tag : kHelpStepTags)
      if (UIView* step = helpView->viewWithTag(tag)) step->setHidden(tag != curHelpButton);
  };
  animated ? UIView::animateWithDuration(kHelpAnimationDuration, showStep) : showStep();
}

void AssetViewController::nextHelpButton() {
  switch (curHelpButton) {
    case kTagPreviewButton:
      curHelpButton = _contentType == ContentTypeBackground ? kTagBackgroundTab : kTagOverlayTab;
      break;
    case kTagOverlayTab:
      curHelpButton = kTagBackgroundTab;
      break;
    case kTagBackgroundTab:
      curHelpButton = kTagPhotoTab;
      break;
    case kTagPhotoTab:
      curHelpButton = kTagSaveButton;
      break;
    case kTagSaveButton:
      closeHelp();
      return;
    default:
      return;
  }
  updateHelpInfoAnimated(true);
}

void AssetViewController::closeHelp() {
  if (!helpView) return;
  std::weak_ptr<UIView> weakHelp = helpView;
  UIView::animateWithDuration(
      kHelpAnimationDuration, [this] { helpView->setAlpha(0); },
      [weakHelp](bool) {
        if (auto help = weakHelp.lock()) help->removeFromSuperview();
      });
}
