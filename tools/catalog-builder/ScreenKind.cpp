#include "ScreenKind.h"

#include "Content/ContentName.h"

namespace ScreenKinds {

std::string_view pathName(ScreenKind kind) {
  return kind == ScreenKind::Tall ? "tall" : "standard";
}

std::optional<ScreenKind> fromPathName(std::string_view name) {
  if (name == "standard") return ScreenKind::Standard;
  if (name == "tall") return ScreenKind::Tall;
  return std::nullopt;
}

bool admits(ScreenKind kind, std::string_view fileName) {
  return ContentName::isAcceptedLocalFile(fileName, kind == ScreenKind::Tall, {});
}

}  // namespace ScreenKinds
