#include "GeneralTools/AdsReporter.h"

#include "Foundation/Console.h"
#include "Foundation/Locale.h"
#include "GeneralTools/AdsConfiguration.h"
#include "GeneralTools/DeviceIdentifier.h"
#include "GeneralTools/DispatchTaskDownload.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/MD5Additions.h"
#include "GeneralTools/Tools.h"
#include "Network/URLEscaping.h"

void AdsReporter::reportFirstStart() {
  makeRequestWithParams({{"user", AdsConfiguration::current().user},
                         {"action", "first_launch"},
                         {"application_id", Tools::appID()}});
}

void AdsReporter::reportAdClickForAdvertID(const std::string& advertID,
                                           const std::string& targetAppID,
                                           const std::string& adType) {
  Params params = generalParamsForAdvertID(advertID, targetAppID, adType);
  params.emplace_back("action", "click");
  makeRequestWithParams(std::move(params));
}

void AdsReporter::reportAdShowForAdvertID(const std::string& advertID,
                                          const std::string& targetAppID,
                                          const std::string& adType) {
  Params params = generalParamsForAdvertID(advertID, targetAppID, adType);
  params.emplace_back("action", "show");
  makeRequestWithParams(std::move(params));
}

AdsReporter::Params AdsReporter::generalParamsForAdvertID(const std::string& advertID,
                                                          const std::string& targetAppID,
                                                          const std::string& adType) {
  return {{"user", AdsConfiguration::current().user},
          {"from_application_id", Tools::appID()},
          {"application_id", targetAppID},
          {"advert_id", advertID},
          {"lang", platform::Locale::currentLocaleIdentifier()},
          {"type", adType}};
}

AdsReporter::Params AdsReporter::completedParams(Params params) {
  // Without a readable hardware address the device has no identifier; the key still goes out,
  // empty, so the server sees every report with the same parameters.
  params.emplace_back("device_id", DeviceIdentifier::uniqueGlobalDeviceIdentifier().value_or(""));
  params.emplace_back("os", "iOS " + Tools::systemVersion());
  params.emplace_back("platform", Tools::platformExpanded());
  params.emplace_back("model", Tools::model());
  params.emplace_back("version", Tools::appVersion());
  return params;
}

std::string AdsReporter::signedURL(const std::string& endpoint, const Params& params,
                                   const std::string& salt) {
  std::string digestInput;
  for (const auto& [key, value] : params)
    digestInput += platform::URLEscaping::stringByReplacingPercentEscapes(value);
  digestInput += salt;
  std::string url = endpoint + "?hash=" + MD5Additions::stringFromMD5(digestInput).value_or("");
  for (const auto& [key, value] : params)
    url += "&" + key + "=" + platform::URLEscaping::stringByAddingPercentEscapes(value);
  return url;
}

std::shared_ptr<DispatchTaskDownload> AdsReporter::makeRequestWithParams(Params params) {
  const AdsConfiguration& configuration = AdsConfiguration::current();
  if (configuration.statisticsURL.empty()) {
    platform::Console::log("No statistics endpoint is configured: the report is not sent");
    return nullptr;
  }
  std::string url = signedURL(configuration.statisticsURL, completedParams(std::move(params)),
                              configuration.salt);
  // The answer is not used: nothing is cached and nothing is read.
  auto task = DispatchTaskDownload::downloadTaskWithURL(url, [](DispatchTask&) {});
  if (!task) return nullptr;
  task->setMaximumBodySize(64 * 1024);
  DispatchTools::Instance().addTask(task);
  return task;
}
