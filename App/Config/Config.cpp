#include "Config/Config.h"

#include "Content/ContentServiceRequest.h"

namespace Config {

void install() {
  ContentServiceRequest::setDirectoryServerURLs(kStandardScreenDirectoryURL,
                                                kTallScreenDirectoryURL);
  ContentServiceRequest::setMaximumFileSize(kMaximumContentFileSize);
}

}  // namespace Config
