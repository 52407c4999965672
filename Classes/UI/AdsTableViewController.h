#pragma once

#include <memory>
#include <string>

#include "AppUI/AdsItemCell.h"
#include "AppUI/ItemsViewDataSource.h"
#include "AppUI/ItemsViewDelegate.h"
#include "AppUI/UIViewControllerBase.h"
#include "AppUI/VerticalItemsView.h"

// The ads list: the promoted applications of the house-ads feed as rows of 320 x 72 on
// alternating light and dark backgrounds. A row opens its application's store link (reporting
// the click); a tap past the last row opens the offer wall. The list follows new feeds while it
// is shown.
class AdsTableViewController : public UIViewControllerBase,
                               public ItemsViewDataSource,
                               public ItemsViewDelegate {
 public:
  AdsTableViewController();
  ~AdsTableViewController() override;
  std::string className() const override { return "AdsTableViewController"; }
  static void registerClass();

  void registerOutlets(platform::OutletRegistry& outlets) override;
  void viewDidLoad() override;
  void viewWillAppear(bool animated) override;
  void viewWillDisappear(bool animated) override;

  std::int32_t itemsCountInItemsView(ItemsView& itemsView) override;
  std::shared_ptr<ItemCell> cellForItemsView(ItemsView& itemsView, std::int32_t index) override;
  platform::Size cellSizeInItemsView(ItemsView& itemsView) override;
  void itemActionInItemsView(ItemsView& itemsView, std::int32_t index) override;

  // Reloads the list from the ads manager's items.
  void updateData();
  static std::shared_ptr<AdsItemCell> loadCell() { return AdsItemCell::loadCell(); }

  std::shared_ptr<VerticalItemsView> adsView;
};
