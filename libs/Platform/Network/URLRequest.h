#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Foundation/Value.h"
#include "Network/HTTPHeaderFields.h"

namespace platform {

// Where a request may take its answer from.
enum class URLRequestCachePolicy {
  // Loads from the network; a complete answer may be stored in the shared cache.
  UseProtocolCachePolicy,
  // Loads from the network without looking at the cache.
  ReloadIgnoringLocalCacheData,
  // Answers from the shared cache when it holds the URL, however old; loads otherwise.
  ReturnCacheDataElseLoad,
};

// One HTTP request. Header fields are sent in the order they were set.
struct URLRequest {
  static constexpr double kDefaultTimeoutInterval = 60;

  std::string url;
  std::string httpMethod = "GET";
  HTTPHeaderFields headers;
  Bytes body;
  // Seconds without progress (connecting, or between bytes) after which the transfer fails.
  double timeoutInterval = kDefaultTimeoutInterval;
  URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::UseProtocolCachePolicy;

  URLRequest() = default;
  explicit URLRequest(std::string url,
                      URLRequestCachePolicy policy = URLRequestCachePolicy::UseProtocolCachePolicy,
                      double timeout = kDefaultTimeoutInterval)
      : url(std::move(url)), timeoutInterval(timeout), cachePolicy(policy) {}

  // Replaces a field of the same name (compared without regard to case), else appends it.
  void setValueForHTTPHeaderField(std::string value, std::string_view field);
  std::optional<std::string> valueForHTTPHeaderField(std::string_view field) const;
};

// Why a transfer failed.
struct URLError {
  enum class Code {
    Unknown,
    BadURL,
    CannotConnect,
    TimedOut,
    ConnectionLost,
    TooManyRedirects,
    Cancelled
  };
  Code code = Code::Unknown;
  std::string description;
};

}  // namespace platform
