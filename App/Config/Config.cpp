#include "Config/Config.h"

#include "Content/ContentServiceRequest.h"
#include "GeneralTools/Tools.h"

namespace Config {

void install() {
  ContentServiceRequest::setDirectoryServerURLs(kStandardScreenDirectoryURL,
                                                kTallScreenDirectoryURL);
  ContentServiceRequest::setMaximumFileSize(kMaximumContentFileSize);
  Tools::Configuration tools;
  tools.analyticsAccountID = kAnalyticsAccountID;
  tools.analyticsDispatchPeriod = kAnalyticsDispatchPeriod;
  tools.offerWallAppID = kOfferWallAppID;
  tools.offerWallSecretKey = kOfferWallSecretKey;
  tools.interstitialAppID = kInterstitialAppID;
  tools.interstitialSignature = kInterstitialSignature;
  tools.appOpenReportBaseURL = kAppOpenReportBaseURL;
  tools.storeAppID = kStoreAppID;
  Tools::Instance().setConfiguration(std::move(tools));
}

}  // namespace Config
