#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class DispatchTaskDownload;

// Statistics for the ads server: the first start, and clicks and shows of promoted
// applications. Each report is a GET of the statistics endpoint signed with a "hash" parameter
// that the server recomputes: the MD5 of the parameter values, in the order they appear in the
// query, followed by the shared salt. Reports are sent and forgotten.
class AdsReporter {
 public:
  // Key → value, in the order they enter both the digest and the query.
  using Params = std::vector<std::pair<std::string, std::string>>;

  static void reportFirstStart();
  // `adType` is "banner" (the ads list) or "message" (an alert).
  static void reportAdClickForAdvertID(const std::string& advertID, const std::string& targetAppID,
                                       const std::string& adType);
  static void reportAdShowForAdvertID(const std::string& advertID, const std::string& targetAppID,
                                      const std::string& adType);
  static Params generalParamsForAdvertID(const std::string& advertID,
                                         const std::string& targetAppID, const std::string& adType);
  // Completes the parameters with the device's, signs them and sends the report; the task, or
  // none when no statistics endpoint is configured.
  static std::shared_ptr<DispatchTaskDownload> makeRequestWithParams(Params params);

  // The parameters completed with "device_id", "os", "platform", "model" and "version".
  static Params completedParams(Params params);
  // The signed URL: the endpoint, "?hash=" with the digest, then "&key=value" for each
  // parameter in order, values percent-escaped.
  static std::string signedURL(const std::string& endpoint, const Params& params,
                               const std::string& salt);
};
