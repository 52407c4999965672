#include "Config/Config.h"

#include <algorithm>

#include "Config/AdsAccount.h"
#include "Content/ContentServiceRequest.h"
#include "GeneralTools/AdsConfiguration.h"
#include "GeneralTools/Tools.h"

namespace Config {
namespace {

// An http or https URL with a host, in one word.
bool isServerRoot(const std::string& url) {
  std::string_view rest;
  for (std::string_view scheme : {"http://", "https://"})
    if (url.starts_with(scheme)) rest = std::string_view(url).substr(scheme.size());
  if (rest.empty() || rest.front() == '/') return false;
  return std::none_of(url.begin(), url.end(),
                      [](unsigned char c) { return c <= ' ' || c == 0x7F; });
}

}  // namespace

bool install(std::string serverRoot) {
  if (!isServerRoot(serverRoot)) return false;
  if (!serverRoot.ends_with('/')) serverRoot += '/';
  ContentServiceRequest::setDirectoryServerURLs(serverRoot + kStandardScreenDirectoryPath,
                                                serverRoot + kTallScreenDirectoryPath);
  ContentServiceRequest::setMaximumFileSize(kMaximumContentFileSize);
  Tools::Configuration tools;
  tools.analyticsAccountID = kAnalyticsAccountID;
  tools.analyticsDispatchPeriod = kAnalyticsDispatchPeriod;
  tools.offerWallAppID = kOfferWallAppID;
  tools.offerWallSecretKey = kOfferWallSecretKey;
  tools.interstitialAppID = kInterstitialAppID;
  tools.interstitialSignature = kInterstitialSignature;
  tools.appOpenReportBaseURL = serverRoot;
  tools.storeAppID = kStoreAppID;
  Tools::Instance().setConfiguration(std::move(tools));
  AdsConfiguration::setCurrent({serverRoot + kAdsServerPath, serverRoot + kAdsStatisticsPath,
                                AdsAccount::kUser, AdsAccount::kSalt});
  return true;
}

}  // namespace Config
