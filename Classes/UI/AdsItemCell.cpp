#include "AppUI/AdsItemCell.h"

#include "Foundation/NotificationCenter.h"
#include "GeneralTools/AdsReporter.h"
#include "GeneralTools/Localization.h"
#include "UI/InterfaceLoader.h"
#include "UI/UIApplication.h"

using namespace platform;

namespace {

UIFont fontNamed(const std::string& name, double size) {
  return name.empty() ? UIFont::systemFontOfSize(size) : UIFont::fontWithName(name, size);
}

}  // namespace

AdsItemCell::AdsItemCell() = default;

AdsItemCell::~AdsItemCell() {
  NotificationCenter::defaultCenter().removeObserver(this);
}

std::shared_ptr<AdsItemCell> AdsItemCell::loadCell() {
  auto cell = std::make_shared<AdsItemCell>();
  auto loaded = InterfaceLoader::loadNibNamed(kInterfaceName, cell.get());
  if (!loaded.ok() || loaded.topLevelViews.empty()) return nullptr;
  // The file's top-level view is the row's content: the row takes its size and holds it.
  const auto& content = loaded.topLevelViews.front();
  cell->setFrame(Rect(Point(), content->frame().size));
  content->setFrame(cell->bounds());
  cell->addSubview(content);
  Localization::localizeView(*cell);
  return cell;
}

void AdsItemCell::registerOutlets(OutletRegistry& outlets) {
  outlets.add("imgImage", imgImage);
  outlets.add("imgIcon", imgIcon);
  outlets.add("imgBackGround", imgBackGround);
  outlets.add("lblTitle", lblTitle);
  outlets.add("lblDescription", lblDescription);
  outlets.add("btnBuy", btnBuy);
}

void AdsItemCell::registerActions(ActionRegistry& actions) {
  actions.add("openApp", [this](UIControl&) { openApp(); });
}

void AdsItemCell::setData(std::shared_ptr<AdsItem> item) {
  if (item == _data) return;
  auto& center = NotificationCenter::defaultCenter();
  center.removeObserver(this);
  _data = std::move(item);
  if (_data)
    center.addObserver(this, AdsItem::kNotificationAdsItemUpdated, _data.get(),
                       [this](const Notification&) { updateData(); });
  updateData();
}

void AdsItemCell::updateData() {
  if (!_data) return;
  if (imgIcon) imgIcon->setImage(_data->imgIcon());
  if (lblTitle) {
    lblTitle->setText(_data->title());
    if (_data->titleFontSize() != 0)
      lblTitle->setFont(fontNamed(_data->titleFont(), _data->titleFontSize()));
  }
  if (lblDescription) {
    lblDescription->setText(_data->description());
    if (_data->descriptionFontSize() != 0)
      lblDescription->setFont(fontNamed(_data->descriptionFont(), _data->descriptionFontSize()));
  }
}

void AdsItemCell::openApp() {
  if (!_data) return;
  AdsReporter::reportAdClickForAdvertID(_data->itemID(), _data->targetAppId(), "banner");
  UIApplication::sharedApplication().openURL(_data->urlApp());
}

std::shared_ptr<Image> AdsItemCell::backGroundImage() const {
  return imgBackGround ? imgBackGround->image() : nullptr;
}

void AdsItemCell::setBackGroundImage(std::shared_ptr<Image> image) {
  if (imgBackGround) imgBackGround->setImage(std::move(image));
}
