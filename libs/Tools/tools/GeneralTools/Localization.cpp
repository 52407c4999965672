#include "GeneralTools/Localization.h"

#include <algorithm>

#include "Foundation/FileManager.h"
#include "GeneralTools/Tools.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"

using platform::FileManager;

namespace {

bool hasExtension(const std::string& name, std::string_view extension) {
  return name.size() > extension.size() + 1 && name.ends_with(extension) &&
         name[name.size() - extension.size() - 1] == '.';
}

bool isKey(const std::string& text) {
  return text.starts_with(Localization::kKeyPrefix);
}

}  // namespace

Localization& Localization::Instance() {
  static Localization* instance = [] {
    auto* localization = new Localization;
    localization->scanBundleForLocalizationTables(platform::Bundle::mainBundle());
    return localization;
  }();
  return *instance;
}

std::string Localization::localizationForKey(std::string_view key) const {
  for (const LocalizationTableInfo& table : _tables) {
    auto found = table.tableBundle()->findLocalizedStringForKey(key, table.tableName());
    if (!found) continue;
    return key.ends_with(kTemplateSuffix) ? Tools::Instance().expandTemplateParams(*found) : *found;
  }
  return std::string(key);
}

void Localization::addLocalizationTable(LocalizationTableInfo info) {
  if (std::find(_tables.begin(), _tables.end(), info) == _tables.end())
    _tables.push_back(std::move(info));
}

void Localization::scanBundleForLocalizationTables(
    const std::shared_ptr<platform::Bundle>& bundle) {
  if (bundle) scanBundleForLocalizationTables(bundle, bundle->bundlePath());
}

void Localization::scanBundleForLocalizationTables(const std::shared_ptr<platform::Bundle>& bundle,
                                                   const std::string& curDir) {
  auto names = FileManager::contentsOfDirectoryAtPath(curDir);
  if (!names) return;
  // The system's listing comes in no fixed order; sorted, which table answers a key that two
  // tables share is the same on every machine.
  std::sort(names->begin(), names->end());
  for (const std::string& name : *names) {
    if (hasExtension(name, "strings")) {
      addLocalizationTable(LocalizationTableInfo(name.substr(0, name.size() - 8), bundle));
    } else if (hasExtension(name, "lproj")) {
      scanBundleForLocalizationTables(bundle,
                                      FileManager::stringByAppendingPathComponent(curDir, name));
    }
  }
}

void Localization::localizeView(platform::UIView& view) {
  localizeView(view, true);
}

void Localization::localizeView(platform::UIView& view, bool recursive) {
  // A copy: nothing here adds or removes views, but the list must not move under the loop.
  const auto subviews = view.subviews();
  for (const auto& subview : subviews) {
    if (recursive) localizeView(*subview, true);
    if (auto* label = dynamic_cast<platform::UILabel*>(subview.get());
        label && isKey(label->text()))
      label->setText(Instance().localizationForKey(label->text()));
    if (auto* button = dynamic_cast<platform::UIButton*>(subview.get())) {
      auto title = button->titleForState(platform::UIControlStateNormal);
      if (title && isKey(*title))
        button->setTitle(Instance().localizationForKey(*title), platform::UIControlStateNormal);
    }
  }
}
