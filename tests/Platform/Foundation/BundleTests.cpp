#include <gtest/gtest.h>

#include "Foundation/AtomicFile.h"
#include "Foundation/Bundle.h"
#include "Foundation/PropertyList.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

TEST(BundleTest, TheApplicationsInformationDictionary) {
  auto bundle = Bundle::mainBundle();
  ASSERT_TRUE(bundle);
  EXPECT_EQ(Bundle::mainBundle(), bundle);  // one object, compared by identity elsewhere
  EXPECT_EQ(*bundle->objectForInfoDictionaryKey("CFBundleName").string(), "Pictavia");
  EXPECT_TRUE(bundle->objectForInfoDictionaryKey("CFBundleVersion").string());
  EXPECT_EQ(bundle->bundleIdentifier(), "com.quillon.pictavia");
  EXPECT_TRUE(bundle->objectForInfoDictionaryKey("NoSuchKey").isNull());
}

TEST(BundleTest, BinaryInfoAndMissingOrBrokenInfo) {
  TemporaryDirectory binary, missing, broken;
  ASSERT_TRUE(AtomicFile::write(binary.file("Info.plist"),
                                PropertyList::binaryData(Dictionary{{"CFBundleVersion", "2.5"}})));
  EXPECT_EQ(*Bundle(binary.path()).objectForInfoDictionaryKey("CFBundleVersion").string(), "2.5");
  EXPECT_TRUE(Bundle(missing.path()).infoDictionary().empty());
  writeTextFile(broken.file("Info.plist"), "<plist><dict><key>unclosed");
  testing_support::ConsoleCapture console;
  EXPECT_TRUE(Bundle(broken.path()).infoDictionary().empty());
  EXPECT_FALSE(Bundle(broken.path()).bundleIdentifier());
  EXPECT_FALSE(Bundle::bundleWithPath(broken.file("nowhere")));
}

TEST(BundleTest, ResourcesAreFoundUnlocalizedFirstThenByPreferredLanguage) {
  TemporaryDirectory root;
  writeTextFile(root.file("Default.png"), "global");
  writeTextFile(root.file("ru.lproj/Default.png"), "ru");
  writeTextFile(root.file("ru.lproj/Main.strings"), "ru");
  writeTextFile(root.file("en.lproj/Main.strings"), "en");
  writeTextFile(root.file("pt_BR.lproj/Main.strings"), "pt");
  writeTextFile(root.file("images/icon.png"), "icon");
  Bundle bundle(root.path());
  ScopedEnvironment all("LC_ALL", std::nullopt);
  {
    ScopedEnvironment language("LANGUAGE", "ru:en");
    EXPECT_EQ(bundle.pathForResource("Default", "png"), root.file("Default.png"));
    EXPECT_EQ(bundle.pathForResource("Main", "strings"), root.file("ru.lproj/Main.strings"));
  }
  {
    ScopedEnvironment language("LANGUAGE", "pt_BR");
    EXPECT_EQ(bundle.pathForResource("Main", "strings"), root.file("pt_BR.lproj/Main.strings"));
  }
  {
    ScopedEnvironment language("LANGUAGE", "de");
    EXPECT_EQ(bundle.pathForResource("Main", "strings"), root.file("en.lproj/Main.strings"));
  }
  EXPECT_EQ(bundle.pathForResource("icon", "png", "images"), root.file("images/icon.png"));
  EXPECT_EQ(bundle.pathForResource("icon.png", "", "images"), root.file("images/icon.png"));
  EXPECT_FALSE(bundle.pathForResource("absent", "png"));
}
