#include "Foundation/Locale.h"

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string stripEncodingAndModifier(const std::string& posix) {
  return posix.substr(0, posix.find_first_of(".@"));
}

std::string firstSetLocale() {
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    std::string value = environment(name);
    if (!value.empty()) return value;
  }
  return "";
}

}  // namespace

std::string Locale::languageFromPosixLocale(const std::string& posix) {
  std::string base = stripEncodingAndModifier(posix);
  if (base.empty() || base == "C" || base == "POSIX") return "";
  std::replace(base.begin(), base.end(), '_', '-');
  return base;
}

std::vector<std::string> Locale::preferredLanguages() {
  std::vector<std::string> candidates;
  std::string list = environment("LANGUAGE");
  size_t start = 0;
  while (start <= list.size() && !list.empty()) {
    size_t colon = list.find(':', start);
    candidates.push_back(list.substr(start, colon == std::string::npos ? colon : colon - start));
    if (colon == std::string::npos) break;
    start = colon + 1;
  }
  candidates.push_back(firstSetLocale());
  std::vector<std::string> languages;
  for (const std::string& candidate : candidates) {
    std::string language = languageFromPosixLocale(candidate);
    if (!language.empty() &&
        std::find(languages.begin(), languages.end(), language) == languages.end())
      languages.push_back(language);
  }
  if (languages.empty()) languages.push_back("en");
  return languages;
}

std::string Locale::currentLocaleIdentifier() {
  std::string base = stripEncodingAndModifier(firstSetLocale());
  if (base.empty() || base == "C" || base == "POSIX") return "en_US";
  return base;
}

}  // namespace platform
