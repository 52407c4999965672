#include "GeneralTools/AdsAlertItem.h"

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

const AdsBaseItem::ParamsMap kAlertParams = {{"title", "Title"}, {"msg", "Message"}};

// A whole number with optional surrounding spaces; 1 for anything else or below 1. Numbers
// past what fits stay at the largest, so a huge count never wraps round to a small one.
std::int64_t countAtLeastOne(const XMLElement& element) {
  std::string text = element.text();
  size_t begin = text.find_first_not_of(" \t\r\n");
  size_t end = text.find_last_not_of(" \t\r\n");
  if (begin == std::string::npos) return 1;
  std::int64_t value = 0;
  const char* first = text.data() + begin;
  const char* last = text.data() + end + 1;
  auto [stop, error] = std::from_chars(first, last, value);
  if (stop != last) return 1;
  if (error == std::errc::result_out_of_range)
    return *first == '-' ? 1 : std::numeric_limits<std::int32_t>::max();
  if (error != std::errc()) return 1;
  return std::clamp<std::int64_t>(value, 1, std::numeric_limits<std::int32_t>::max());
}

}  // namespace

std::shared_ptr<AdsAlertItem> AdsAlertItem::itemWithXMLElement(const XMLElement& element) {
  if (!element || element.name() != "alert") return nullptr;
  std::shared_ptr<AdsAlertItem> item(new AdsAlertItem());
  if (!item->parseParametersFromXML(element, "alert_info", kAlertParams)) return nullptr;
  item->_timesToShow = countAtLeastOne(element.firstChild("times_to_show"));
  item->_showDelta = countAtLeastOne(element.firstChild("show_delata"));
  XMLElement list = element.firstChild("buttons");
  for (XMLElement b = list.firstChild("button"); b; b = b.nextSibling("button"))
    if (auto button = AdsAlertButton::itemWithXMLElement(b)) item->_buttons.push_back(button);
  return item;
}
