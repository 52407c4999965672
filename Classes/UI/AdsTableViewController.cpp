#include "AppUI/AdsTableViewController.h"

#include <algorithm>

#include "Foundation/NotificationCenter.h"
#include "GeneralTools/AdsManager.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "UI/UINavigationController.h"
#include "UI/ViewControllerRegistry.h"

using namespace platform;

AdsTableViewController::AdsTableViewController() = default;

AdsTableViewController::~AdsTableViewController() {
  NotificationCenter::defaultCenter().removeObserver(this);
}

void AdsTableViewController::registerClass() {
  ViewControllerRegistry::registerClass("AdsTableViewController",
                                        [] { return std::make_shared<AdsTableViewController>(); });
}

void AdsTableViewController::registerOutlets(OutletRegistry& outlets) {
  UIViewControllerBase::registerOutlets(outlets);
  outlets.add("adsView", adsView);
}

void AdsTableViewController::viewDidLoad() {
  UIViewControllerBase::viewDidLoad();
  Localization::localizeView(*view());
  if (adsView) {
    auto self = std::static_pointer_cast<AdsTableViewController>(shared_from_this());
    adsView->setItemsViewDataSource(std::static_pointer_cast<ItemsViewDataSource>(self));
    adsView->setItemsViewDelegate(std::static_pointer_cast<ItemsViewDelegate>(self));
  }
}

void AdsTableViewController::viewWillAppear(bool animated) {
  UIViewControllerBase::viewWillAppear(animated);
  if (UINavigationController* navigation = navigationController())
    navigation->setNavigationBarHidden(true, false);
  NotificationCenter::defaultCenter().addObserver(this, AdsManager::kNotificationAdsLoaded, nullptr,
                                                  [this](const Notification&) { updateData(); });
  if (adsView) {
    // The list takes whatever height the screen has below its title bar.
    Rect bounds = view()->bounds(), frame = adsView->frame();
    adsView->setFrame(Rect(0, frame.origin.y, bounds.size.width,
                           std::max(0.0, bounds.size.height - frame.origin.y)));
  }
  updateData();
  if (adsView) {
    adsView->setShowsHorizontalScrollIndicator(false);
    adsView->setShowsVerticalScrollIndicator(false);
    adsView->setBounces(true);
  }
}

void AdsTableViewController::viewWillDisappear(bool animated) {
  UIViewControllerBase::viewWillDisappear(animated);
  NotificationCenter::defaultCenter().removeObserver(this);
}

void AdsTableViewController::updateData() {
  if (adsView) adsView->reloadData();
}

std::int32_t AdsTableViewController::itemsCountInItemsView(ItemsView&) {
  return static_cast<std::int32_t>(AdsManager::Instance().adsItems().size());
}

std::shared_ptr<ItemCell> AdsTableViewController::cellForItemsView(ItemsView& itemsView,
                                                                   std::int32_t index) {
  auto cell = std::dynamic_pointer_cast<AdsItemCell>(itemsView.dequeueReusableCell());
  if (!cell) cell = loadCell();
  if (!cell) return nullptr;
  cell->setBackGroundImage(Tools::hiresImageNamed(index % 2 ? "bg_light.png" : "bg_black.png"));
  const auto& items = AdsManager::Instance().adsItems();
  if (index >= 0 && static_cast<size_t>(index) < items.size()) {
    const auto& item = items[index];
    item->setDescriptionFont("Helvetica");
    item->setDescriptionFontSize(13);
    item->setTitleFont("Helvetica-Bold");
    item->setTitleFontSize(18);
    cell->setData(item);
  }
  return cell;
}

Size AdsTableViewController::cellSizeInItemsView(ItemsView&) {
  return Size(320, 72);
}

void AdsTableViewController::itemActionInItemsView(ItemsView& itemsView, std::int32_t index) {
  if (index < 0) return;
  if (static_cast<size_t>(index) >= AdsManager::Instance().adsItems().size()) {
    if (const auto& services = Tools::Instance().vendorServices())
      services->showOffersWithViewController(*this);
    return;
  }
  auto cell = itemsView.findVisibleCellWithIndex(index);
  if (!cell) cell = cellForItemsView(itemsView, index);
  if (auto row = std::dynamic_pointer_cast<AdsItemCell>(cell)) row->openApp();
}
