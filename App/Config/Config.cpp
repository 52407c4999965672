#include "Config/Config.h"

#include "Config/AdsAccount.h"
#include "Content/ContentServiceRequest.h"
#include "GeneralTools/AdsConfiguration.h"

namespace Config {

void install() {
  ContentServiceRequest::setDirectoryServerURLs(kStandardScreenDirectoryURL,
                                                kTallScreenDirectoryURL);
  ContentServiceRequest::setMaximumFileSize(kMaximumContentFileSize);
  AdsConfiguration::setCurrent(
      {kAdsServerURL, kAdsStatisticsURL, AdsAccount::kUser, AdsAccount::kSalt});
}

}  // namespace Config
