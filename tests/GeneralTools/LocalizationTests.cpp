#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Foundation/Bundle.h"
#include "Foundation/StringsTable.h"
#include "GeneralTools/Localization.h"
#include "GeneralTools/Tools.h"
#include "TestSupport.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"

using namespace platform;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

TEST(LocalizationTest, TablesOfTheBundleAnswerKeysInTheirOrder) {
  TemporaryDirectory root;
  writeTextFile(root.file("Zeta.strings"), "\"_Loc_Shared\" = \"from Zeta\";");
  writeTextFile(root.file("en.lproj/Alpha.strings"),
                "\"_Loc_Shared\" = \"from Alpha\";\n\"_Loc_About_Tmpl\" = \"%appname% "
                "%appversion%\";\n\"_Loc_Plain\" = \"%appname%\";");
  writeTextFile(root.file("en.lproj/Localizable.strings"), "\"_Loc_Ok\" = \"OK\";");
  writeTextFile(root.file("ru.lproj/Localizable.strings"), "\"_Loc_Ok\" = \"Хорошо\";");
  writeTextFile(root.file("notes.txt"), "");
  writeTextFile(root.file("images/Deep.strings"), "\"_Loc_Deep\" = \"deep\";");
  ScopedEnvironment language("LANGUAGE", "ru");

  auto bundle = Bundle::bundleWithPath(root.path());
  Localization localization;
  localization.scanBundleForLocalizationTables(bundle);
  std::vector<std::string> names;
  for (const auto& table : localization.tables()) names.push_back(table.tableName());
  EXPECT_EQ(names, (std::vector<std::string>{"Zeta", "Alpha", "Localizable"}));
  localization.addLocalizationTable(LocalizationTableInfo("Alpha", bundle));
  localization.addLocalizationTable(
      LocalizationTableInfo("Alpha", Bundle::bundleWithPath(root.path())));
  EXPECT_EQ(localization.tables().size(), 4u);  // another bundle object is another table

  EXPECT_EQ(localization.localizationForKey("_Loc_Shared"), "from Zeta");
  EXPECT_EQ(localization.localizationForKey("_Loc_Ok"), "Хорошо");
  // Templates name the application as the main bundle's information does.
  auto info = [](const char* key) {
    return *Bundle::mainBundle()->objectForInfoDictionaryKey(key).string();
  };
  std::string name = info("CFBundleName"), version = info("CFBundleVersion");
  EXPECT_EQ(localization.localizationForKey("_Loc_About_Tmpl"), name + " " + version);
  EXPECT_EQ(localization.localizationForKey("_Loc_Plain"), "%appname%");  // not a template
  EXPECT_EQ(localization.localizationForKey("_Loc_Deep"), "_Loc_Deep");
  EXPECT_EQ(localization.localizationForKey("_Loc_Missing"), "_Loc_Missing");
  EXPECT_EQ(Tools::expandTemplate("%appversion%/%appname%%appname%"), version + "/" + name + name);
}

TEST(LocalizationTest, LocalizeViewChangesLabelsAndNormalTitlesBeneathTheView) {
  ScopedEnvironment all("LC_ALL", std::nullopt), messages("LC_MESSAGES", std::nullopt),
      language("LANGUAGE", "ru");
  auto root = std::make_shared<UILabel>(), label = std::make_shared<UILabel>(),
       plain = std::make_shared<UILabel>(), nested = std::make_shared<UILabel>();
  root->setText("_Loc_Cancel");
  label->setText("_Loc_Cancel");
  plain->setText("Cancel _Loc_Cancel");
  nested->setText("_Loc_Ok");
  auto box = std::make_shared<UIView>();
  box->addSubview(nested);
  auto button = std::make_shared<UIButton>();
  button->setTitle("_Loc_Back", UIControlStateNormal);
  button->setTitle("_Loc_Cancel", UIControlStateHighlighted);
  for (auto view : std::vector<std::shared_ptr<UIView>>{label, plain, box, button})
    root->addSubview(view);

  Localization::localizeView(*root, false);
  EXPECT_EQ(label->text(), "Отмена");
  EXPECT_EQ(nested->text(), "_Loc_Ok");
  Localization::localizeView(*root);
  EXPECT_EQ(root->text(), "_Loc_Cancel");
  EXPECT_EQ(plain->text(), "Cancel _Loc_Cancel");
  EXPECT_EQ(nested->text(), "ОК");
  EXPECT_EQ(button->titleForState(UIControlStateNormal), "Назад");
  EXPECT_EQ(button->titleForState(UIControlStateHighlighted), "_Loc_Cancel");
}

// Every "_Loc_" key that the code or an interface file names is in every shipped language,
// and the languages have the same keys.
TEST(LocalizationKeysTest, EveryKeyInTheCodeIsInEveryShippedLanguage) {
  namespace fs = std::filesystem;
  const fs::path source = PICTAVIA_SOURCE_DIR;
  std::map<std::string, std::string> used;  // key -> first file naming it
  auto collect = [&](const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), {});
    for (size_t at = text.find("_Loc_"); at != std::string::npos; at = text.find("_Loc_", at + 1)) {
      if (at == 0 || (text[at - 1] != '"' && text[at - 1] != '\'')) continue;
      size_t end = at + 5;
      while (end < text.size() &&
             (std::isalnum(static_cast<unsigned char>(text[end])) || text[end] == '_'))
        ++end;
      if (end > at + 5)
        used.emplace(text.substr(at, end - at), fs::relative(file, source).string());
    }
  };
  for (const char* folder : {"Classes", "App", "libs", "examples", "Resources"}) {
    if (!fs::exists(source / folder)) continue;
    for (const auto& entry : fs::recursive_directory_iterator(source / folder)) {
      std::string ext = entry.path().extension().string();
      bool code = ext == ".h" || ext == ".cpp" || ext == ".cc" || ext == ".hpp";
      if (entry.is_regular_file() && (ext == ".ui" || (code && folder != std::string("Resources"))))
        collect(entry.path());
    }
  }

  std::map<std::string, std::set<std::string>> languages;
  for (const auto& folder : fs::directory_iterator(source / "Resources")) {
    if (folder.path().extension() != ".lproj" || !fs::exists(folder.path() / "Localizable.strings"))
      continue;
    auto& keys = languages[folder.path().filename().string()];
    for (const auto& file : fs::directory_iterator(folder.path())) {
      if (file.path().extension() != ".strings") continue;
      auto table = StringsTable::readFile(file.path().string());
      ASSERT_TRUE(table) << file.path() << " is not a valid string table";
      for (const auto& [key, value] : *table) {
        keys.insert(key);
        EXPECT_TRUE(key.starts_with("_Loc_")) << key << " in " << file.path();
        EXPECT_FALSE(value.empty()) << key << " in " << file.path();
      }
    }
  }
  ASSERT_GE(languages.size(), 2u);

  std::ostringstream missing;
  for (const auto& [language, keys] : languages) {
    for (const auto& [key, file] : used)
      if (!keys.count(key))
        missing << "\n  " << language << " lacks " << key << " (" << file << ")";
    for (const auto& [other, otherKeys] : languages)
      for (const auto& key : otherKeys)
        if (!keys.count(key))
          missing << "\n  " << language << " lacks " << key << " (" << other << ")";
  }
  EXPECT_EQ(missing.str(), "") << "keys missing from the shipped languages:";
}
