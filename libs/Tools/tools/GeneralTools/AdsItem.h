#pragma once

#include <memory>
#include <string>

#include "GeneralTools/AdsBaseItem.h"
#include "Graphics/Image.h"

class DispatchTaskDownload;

// One promoted application of the ads feed: its texts, fonts, store link and icon. The icon is
// fetched into the shared URL cache and read back from there.
class AdsItem : public AdsBaseItem {
 public:
  // Posted with the item as the object when its icon download finished, fetched or not.
  static constexpr const char* kNotificationAdsItemUpdated = "kNotificationAdsItemUpdated";
  // The largest icon taken: far above any icon, small enough that a bad server fills nothing.
  static constexpr long long kMaximumIconSize = 1LL << 20;

  // The entry of an "ad" element; none for another element or when it lacks "id" or
  // "target_app_id".
  static std::shared_ptr<AdsItem> itemWithXMLElement(const XMLElement& element);
  ~AdsItem() override;

  std::string title() const;
  std::string description() const;
  std::string titleFont() const;
  void setTitleFont(const std::string& font);
  // Stored as text written with "%f"; 0 when absent or not a number.
  float titleFontSize() const;
  void setTitleFontSize(float size);
  std::string descriptionFont() const;
  void setDescriptionFont(const std::string& font);
  float descriptionFontSize() const;
  void setDescriptionFontSize(float size);
  // The icon's URL as the feed gives it.
  std::string urlImgIcon() const;
  // The store link with its percent escapes decoded.
  std::string urlApp() const;
  // The icon as the shared URL cache holds it; none until it was fetched.
  std::shared_ptr<platform::Image> imgIcon() const;

  // Fetches the icon when there is an http or https icon URL, no fetch is under way and the
  // cache has no icon yet; the fetch ends by posting kNotificationAdsItemUpdated.
  void downloadData();
  const std::shared_ptr<DispatchTaskDownload>& taskImgIcon() const { return _taskImgIcon; }

 private:
  AdsItem() = default;
  float floatProperty(std::string_view key) const;

  std::shared_ptr<DispatchTaskDownload> _taskImgIcon;
};
