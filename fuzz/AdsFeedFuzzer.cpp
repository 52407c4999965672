// The house-ads feed as the device reads it from the network: parsed, checked, turned into the
// lists of promoted applications and alerts, and an alert chosen. Whatever the bytes, nothing
// may crash, every entry kept must have its identifiers, every count must be at least 1, every
// button a link, and every text must be valid UTF-8.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Foundation/AppContainer.h"
#include "Foundation/Console.h"
#include "GeneralTools/AdsManager.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/XMLDocument.h"

namespace {

void check(bool condition) {
  if (!condition) std::abort();
}

void checkText(const std::string& text) {
  check(XMLDocument::isValidUTF8(text));
}

AdsManager& manager() {
  static AdsManager* made = [] {
    std::string root = (std::filesystem::temp_directory_path() / "ads-feed-fuzzer").string();
    platform::AppContainer::setRootOverride(root);
    platform::Console::setSink([](std::string_view) {});
    return new AdsManager();
  }();
  return *made;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  AdsManager& ads = manager();
  // The first byte is the activation count, so that alert choice sees varied schedules.
  DataSource::data()["AppActiveCount"] = static_cast<int>(data[0]);
  auto document = XMLDocument::documentWithData(platform::Bytes(data + 1, data + size));
  if (!document || document->rootXMLElement().name() != "info") return 0;
  ads.getDataFromXML(*document);
  for (const auto& item : ads.adsItems()) {
    check(!item->itemID().empty() && !item->targetAppId().empty());
    for (const auto& [key, value] : item->properties()) checkText(value);
    (void)item->titleFontSize();
    (void)item->descriptionFontSize();
  }
  for (const auto& alert : ads.adsAlerts()) {
    check(!alert->itemID().empty() && !alert->targetAppId().empty());
    check(alert->timesToShow() >= 1 && alert->showDelta() >= 1);
    for (const auto& button : alert->buttons()) {
      check(!button->url().empty());
      checkText(button->displayTitle());
      checkText(button->url());
    }
  }
  if (auto chosen = ads.nextAlert()) checkText(chosen->title());
  return 0;
}
