#pragma once

#include <memory>
#include <string>

#include "GeneralTools/XMLElement.h"

// One button of a feed alert: its title and the link it opens.
class AdsAlertButton {
 public:
  // The button of a "button" element: "advert_url" (a promoted application, clicks reported)
  // wins over "url". None without a "title" element or without a link (an empty one included).
  static std::shared_ptr<AdsAlertButton> itemWithXMLElement(const XMLElement& element);

  // Empty when the title has no text in any preferred language.
  const std::string& title() const { return _title; }
  // What the dialog shows: the title, or else the first translation the feed gives.
  const std::string& displayTitle() const { return _title.empty() ? _fallbackTitle : _title; }
  const std::string& url() const { return _url; }
  bool isAdvertURL() const { return _isAdvertURL; }

 private:
  AdsAlertButton() = default;

  std::string _title;
  std::string _fallbackTitle;
  std::string _url;
  bool _isAdvertURL = false;
};
