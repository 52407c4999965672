#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Bundle.h"
#include "GeneralTools/LocalizationTableInfo.h"

namespace platform {
class UIView;
}

// The application's texts. Every user-visible text is looked up by a key that begins with
// "_Loc_"; a key ending in "_Tmpl" is a template whose translation may name the application
// ("%appname%") and its version ("%appversion%"). The string tables are those of the main
// bundle, found once at first use; each key is answered from the first table that has it, in
// the language the user prefers (see platform::Bundle::localizedStringForKey).
// Main thread only.
class Localization {
 public:
  static constexpr std::string_view kKeyPrefix = "_Loc_";
  static constexpr std::string_view kTemplateSuffix = "_Tmpl";

  // The process's one localization, made on first use from the main bundle's tables.
  static Localization& Instance();

  // An empty list of tables; Instance() is the one the application uses.
  Localization() = default;

  // The translation of `key` from the first listed table that has it, templates expanded; the
  // key itself when no table has it.
  std::string localizationForKey(std::string_view key) const;
  // Appends the table unless the same table is already listed.
  void addLocalizationTable(LocalizationTableInfo info);
  // Lists the bundle's tables: each "*.strings" of its folder and of its "*.lproj" folders.
  void scanBundleForLocalizationTables(const std::shared_ptr<platform::Bundle>& bundle);
  const std::vector<LocalizationTableInfo>& tables() const { return _tables; }

  // Replaces, in the view's subviews (depth first), each label text and each button title
  // for the normal state that is a "_Loc_" key by its translation from Instance(). The view
  // itself and other button states are left as they are.
  static void localizeView(platform::UIView& view);
  static void localizeView(platform::UIView& view, bool recursive);

 private:
  void scanBundleForLocalizationTables(const std::shared_ptr<platform::Bundle>& bundle,
                                       const std::string& curDir);

  std::vector<LocalizationTableInfo> _tables;
};
