#pragma once

#include <memory>
#include <string>

#include "AppUI/ItemCell.h"
#include "GeneralTools/AdsItem.h"
#include "UI/InterfaceOwner.h"
#include "UI/UIButton.h"
#include "UI/UIImageView.h"
#include "UI/UILabel.h"

// A row of the ads list: the promoted application's icon, title and description over a
// background, with a buy button. Its views come from the interface file "AdsVerticalItemCell";
// it follows its item, so the icon shows as soon as it arrives.
class AdsItemCell : public ItemCell, public platform::InterfaceOwner {
 public:
  static constexpr const char* kInterfaceName = "AdsVerticalItemCell";

  AdsItemCell();
  ~AdsItemCell() override;
  std::string className() const override { return "AdsItemCell"; }
  // A new row with its views loaded from the interface file; none when the file is unusable.
  static std::shared_ptr<AdsItemCell> loadCell();

  const std::shared_ptr<AdsItem>& data() const { return _data; }
  // Shows `item` and follows its icon; the same item again changes nothing.
  void setData(std::shared_ptr<AdsItem> item);
  // Shows the item's icon (once cached), title and description in their fonts.
  void updateData();
  // Reports the click and opens the promoted application's store link.
  void openApp();
  void cellDidShow() override {}

  std::shared_ptr<platform::Image> backGroundImage() const;
  void setBackGroundImage(std::shared_ptr<platform::Image> image);

  void registerOutlets(platform::OutletRegistry& outlets) override;
  void registerActions(platform::ActionRegistry& actions) override;
  std::weak_ptr<const void> ownerLifetime() const override { return weak_from_this(); }

  std::shared_ptr<platform::UIImageView> imgImage;
  std::shared_ptr<platform::UIImageView> imgIcon;
  std::shared_ptr<platform::UIImageView> imgBackGround;
  std::shared_ptr<platform::UILabel> lblTitle;
  std::shared_ptr<platform::UILabel> lblDescription;
  std::shared_ptr<platform::UIButton> btnBuy;

 private:
  std::shared_ptr<AdsItem> _data;
};
