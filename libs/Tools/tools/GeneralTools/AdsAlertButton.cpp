#include "GeneralTools/AdsAlertButton.h"

#include "GeneralTools/AdsBaseItem.h"

std::shared_ptr<AdsAlertButton> AdsAlertButton::itemWithXMLElement(const XMLElement& element) {
  if (!element || element.name() != "button") return nullptr;
  XMLElement title = element.firstChild("title");
  XMLElement advert = element.firstChild("advert_url");
  XMLElement plain = element.firstChild("url");
  if (!title || (!advert && !plain)) return nullptr;
  std::shared_ptr<AdsAlertButton> button(new AdsAlertButton());
  button->_title = AdsBaseItem::findParamValue(title).value_or("");
  if (XMLElement first = title.firstChild()) button->_fallbackTitle = first.text();
  button->_isAdvertURL = static_cast<bool>(advert);
  button->_url = (advert ? advert : plain).text();
  if (button->_url.empty()) return nullptr;  // an empty link is no link
  return button;
}
