#include "GeneralTools/AdsItem.h"

#include <cstdio>
#include <cstdlib>

#include "Foundation/NotificationCenter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/DispatchTaskDownload.h"
#include "GeneralTools/DispatchTools.h"
#include "Network/URLEscaping.h"
#include "UI/UIApplication.h"

namespace {

const AdsBaseItem::ParamsMap kAdParams = {
    {"title", "Title"},
    {"desc", "Description"},
    {"title_font", "TitleFont"},
    {"title_font_size", "TitleFontSize"},
    {"desc_font", "DescriptionFont"},
    {"desc_font_size", "DescriptionFontSize"},
    {"url", "URLApp"},
    {"icon", "URLIcon"},
    {"image_buy", "URLImageBuy"},
    {"image_portrait", "URLImagePortrait"},
    {"image_landscape", "URLImageLandscape"},
};

std::string formatted(float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%f", static_cast<double>(value));
  return text;
}

}  // namespace

std::shared_ptr<AdsItem> AdsItem::itemWithXMLElement(const XMLElement& element) {
  if (!element || element.name() != "ad") return nullptr;
  std::shared_ptr<AdsItem> item(new AdsItem());
  if (!item->parseParametersFromXML(element, "app_info", kAdParams)) return nullptr;
  return item;
}

AdsItem::~AdsItem() {
  if (_taskImgIcon) _taskImgIcon->cancelTask();
}

std::string AdsItem::title() const {
  return property("Title").value_or("");
}
std::string AdsItem::description() const {
  return property("Description").value_or("");
}
std::string AdsItem::titleFont() const {
  return property("TitleFont").value_or("");
}
void AdsItem::setTitleFont(const std::string& font) {
  setProperty("TitleFont", font);
}
float AdsItem::titleFontSize() const {
  return floatProperty("TitleFontSize");
}
void AdsItem::setTitleFontSize(float size) {
  setProperty("TitleFontSize", formatted(size));
}
std::string AdsItem::descriptionFont() const {
  return property("DescriptionFont").value_or("");
}
void AdsItem::setDescriptionFont(const std::string& font) {
  setProperty("DescriptionFont", font);
}
float AdsItem::descriptionFontSize() const {
  return floatProperty("DescriptionFontSize");
}
void AdsItem::setDescriptionFontSize(float size) {
  setProperty("DescriptionFontSize", formatted(size));
}
std::string AdsItem::urlImgIcon() const {
  return property("URLIcon").value_or("");
}
std::string AdsItem::urlApp() const {
  return platform::URLEscaping::stringByReplacingPercentEscapes(property("URLApp").value_or(""));
}

float AdsItem::floatProperty(std::string_view key) const {
  std::optional<std::string> text = property(key);
  if (!text) return 0;
  char* end = nullptr;
  float value = std::strtof(text->c_str(), &end);
  // Only finite sizes: a font size of "inf" or "nan" would break the text layout.
  if (end == text->c_str() || !(value == value) || value > 1e4f || value < -1e4f) return 0;
  return value;
}

std::shared_ptr<platform::Image> AdsItem::imgIcon() const {
  std::string url = urlImgIcon();
  if (url.empty()) return nullptr;
  return DataSource::source().cachedImageForURL(url);
}

void AdsItem::downloadData() {
  std::string url = urlImgIcon();
  // Only web links: the feed must not make the device read anything else.
  if (_taskImgIcon || !platform::UIApplication::canOpenURL(url) || imgIcon()) return;
  std::weak_ptr<AdsBaseItem> weak = shared_from_this();
  _taskImgIcon =
      DispatchTaskDownload::downloadTaskWithURLCacheData(url, true, [weak](DispatchTask&) {
        auto item = std::static_pointer_cast<AdsItem>(weak.lock());
        if (!item) return;
        item->_taskImgIcon.reset();
        platform::NotificationCenter::defaultCenter().postNotification(kNotificationAdsItemUpdated,
                                                                       item.get());
      });
  if (!_taskImgIcon) return;
  _taskImgIcon->setMaximumBodySize(kMaximumIconSize);
  DispatchTools::Instance().addTask(_taskImgIcon);
}
