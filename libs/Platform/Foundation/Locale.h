#pragma once

#include <string>
#include <vector>

namespace platform {

// The user's language preferences, read from the environment the way the desktop sets them:
// LANGUAGE (a colon-separated list), then LC_ALL, LC_MESSAGES and LANG.
class Locale {
 public:
  // Language codes in order of preference, in the platform's form ("ru", "pt-BR"); "en" when
  // the environment names none (or only the C locale).
  static std::vector<std::string> preferredLanguages();
  // The current locale in POSIX form without encoding ("ru_RU"); "en_US" for the C locale.
  static std::string currentLocaleIdentifier();
  // "pt_BR.UTF-8@euro" -> "pt-BR"; empty for the C and POSIX locales.
  static std::string languageFromPosixLocale(const std::string& posix);
};

}  // namespace platform
