#include <gtest/gtest.h>

#include "Foundation/Locale.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ScopedEnvironment;

TEST(LocaleTest, PreferredLanguagesFromTheEnvironment) {
  ScopedEnvironment messages("LC_MESSAGES", std::nullopt);
  {
    ScopedEnvironment language("LANGUAGE", "ru_RU:pt_BR:ru");
    ScopedEnvironment all("LC_ALL", "de_DE.UTF-8@euro");
    EXPECT_EQ(Locale::preferredLanguages(),
              (std::vector<std::string>{"ru-RU", "pt-BR", "ru", "de-DE"}));
    EXPECT_EQ(Locale::currentLocaleIdentifier(), "de_DE");
  }
  {
    ScopedEnvironment language("LANGUAGE", std::nullopt);
    ScopedEnvironment all("LC_ALL", std::nullopt);
    ScopedEnvironment lang("LANG", "C.UTF-8");
    EXPECT_EQ(Locale::preferredLanguages(), std::vector<std::string>{"en"});
    EXPECT_EQ(Locale::currentLocaleIdentifier(), "en_US");
  }
  EXPECT_EQ(Locale::languageFromPosixLocale("POSIX"), "");
  EXPECT_EQ(Locale::languageFromPosixLocale("zh_TW.Big5"), "zh-TW");
}
