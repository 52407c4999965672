#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "GeneralTools/AdsAlertButton.h"
#include "GeneralTools/AdsBaseItem.h"

// A pop-up message of the ads feed with its buttons and its schedule: shown at most
// `timesToShow` times, at least `showDelta` activations apart.
class AdsAlertItem : public AdsBaseItem {
 public:
  // The entry of an "alert" element; none for another element or when it lacks "id" or
  // "target_app_id". Buttons that break the rules are dropped one by one.
  static std::shared_ptr<AdsAlertItem> itemWithXMLElement(const XMLElement& element);

  const std::vector<std::shared_ptr<AdsAlertButton>>& buttons() const { return _buttons; }
  // At least 1: a missing, non-numeric or smaller value counts as 1.
  std::int64_t timesToShow() const { return _timesToShow; }
  std::int64_t showDelta() const { return _showDelta; }
  std::string title() const { return property("Title").value_or(""); }
  std::string message() const { return property("Message").value_or(""); }

 private:
  AdsAlertItem() = default;

  std::vector<std::shared_ptr<AdsAlertButton>> _buttons;
  std::int64_t _timesToShow = 1;
  std::int64_t _showDelta = 1;
};
