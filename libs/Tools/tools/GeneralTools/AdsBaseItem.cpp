#include "GeneralTools/AdsBaseItem.h"

#include "Foundation/DeviceProfile.h"
#include "Foundation/Locale.h"

std::optional<std::string> AdsBaseItem::property(std::string_view key) const {
  auto it = _properties.find(key);
  if (it == _properties.end()) return std::nullopt;
  return it->second;
}

void AdsBaseItem::setProperty(std::string_view key, std::string value) {
  _properties.insert_or_assign(std::string(key), std::move(value));
}

std::string AdsBaseItem::currentDeviceClass() {
  platform::DeviceProfile profile = platform::DeviceProfile::current();
  if (profile.idiom == platform::UserInterfaceIdiom::Pad) return "ipad";
  return profile.scale == 1.0 ? "iphone" : "iphone_retina";
}

std::optional<std::string> AdsBaseItem::findParamValue(const XMLElement& element) {
  if (!element) return std::nullopt;
  if (!element.hasChildElements()) return element.text();
  for (std::string language : platform::Locale::preferredLanguages()) {
    if (language.size() >= 3) language.resize(2);
    if (XMLElement translation = element.firstChild(language)) return translation.text();
  }
  return std::nullopt;
}

bool AdsBaseItem::parseParametersFromXML(const XMLElement& element, std::string_view dataName,
                                         const ParamsMap& paramsMap) {
  _itemID = element.firstChild("id").text();
  _targetAppId = element.firstChild("target_app_id").text();
  if (_itemID.empty() || _targetAppId.empty()) return false;
  std::string device = currentDeviceClass();
  for (XMLElement block = element.firstChild(dataName); block;
       block = block.nextSibling(dataName)) {
    std::optional<std::string> applies = block.attribute("device");
    if (!applies || (*applies != "all" && *applies != device)) continue;
    for (XMLElement child = block.firstChild(); child; child = child.nextSibling()) {
      std::string name = child.name();
      for (const auto& [elementName, key] : paramsMap) {
        if (name != elementName) continue;
        // A value in none of the preferred languages leaves the property absent.
        if (std::optional<std::string> value = findParamValue(child)) {
          setProperty(key, std::move(*value));
        } else {
          _properties.erase(std::string(key));
        }
      }
    }
  }
  return true;
}
