#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "GeneralTools/XMLElement.h"

// What every entry of the ads feed has: its "id", the promoted application's identifier and
// the display values read from the data blocks that apply to this device.
class AdsBaseItem : public std::enable_shared_from_this<AdsBaseItem> {
 public:
  // Data-block child element name → property key.
  using ParamsMap = std::vector<std::pair<std::string_view, std::string_view>>;

  virtual ~AdsBaseItem() = default;

  const std::string& itemID() const { return _itemID; }
  const std::string& targetAppId() const { return _targetAppId; }
  const std::map<std::string, std::string, std::less<>>& properties() const { return _properties; }
  std::optional<std::string> property(std::string_view key) const;
  void setProperty(std::string_view key, std::string value);

  // Reads "id" and "target_app_id" (false when either is missing or empty) and then every data
  // block named `dataName` whose "device" applies here, in order, later blocks overriding.
  bool parseParametersFromXML(const XMLElement& element, std::string_view dataName,
                              const ParamsMap& paramsMap);

  // A value element's text: its own text when it has no child elements, else the child named
  // by the first preferred language that has one (codes cut to two letters); none otherwise.
  static std::optional<std::string> findParamValue(const XMLElement& element);
  // "ipad" on a tablet, "iphone" on a phone at scale 1, "iphone_retina" on any other phone.
  static std::string currentDeviceClass();

 protected:
  AdsBaseItem() = default;

  std::string _itemID;
  std::string _targetAppId;
  std::map<std::string, std::string, std::less<>> _properties;
};
