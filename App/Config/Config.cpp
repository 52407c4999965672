#include "Config/Config.h"

#include "Config/AdsAccount.h"
#include "Content/ContentServiceRequest.h"
#include "GeneralTools/AdsConfiguration.h"
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
  AdsConfiguration::setCurrent(
      {kAdsServerURL, kAdsStatisticsURL, AdsAccount::kUser, AdsAccount::kSalt});
}

}  // namespace Config
