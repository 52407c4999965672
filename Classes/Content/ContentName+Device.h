#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Content/ContentName.h"

// The content-name rules that depend on the device the program runs on; apart from the names
// themselves so that the catalogue tools can share the grammar without the application shell.
namespace ContentName {

// `isAcceptedLocalFile` with the tall-screen answer of the current device
// (`Tools::isIPhone5Screen`).
bool isAcceptedLocalFile(std::string_view name, const std::vector<std::string>& localListOfType);

}  // namespace ContentName
