#include "Content/ContentName+Device.h"
#include "GeneralTools/Tools.h"

namespace ContentName {

bool isAcceptedLocalFile(std::string_view name, const std::vector<std::string>& localListOfType) {
  return isAcceptedLocalFile(name, Tools::isIPhone5Screen(), localListOfType);
}

}  // namespace ContentName
