#include "Network/CurlTransfer.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

#include "Foundation/Clock.h"
#include "Network/URLCache.h"

namespace platform {
namespace {

constexpr long kMaxRedirects = 5;

double realNow() {
  return SystemClock().now();
}

double timeoutOf(const URLRequest& request) {
  return request.timeoutInterval > 0 ? request.timeoutInterval
                                     : URLRequest::kDefaultTimeoutInterval;
}

std::string_view withoutLineEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The largest answer worth holding on to for the shared cache: the cache keeps no entry over
// 5% of a tier, so a bigger body would only be copied in vain.
std::size_t cacheLimitFor(const URLRequest& request) {
  if (request.httpMethod != "GET") return 0;
  auto cache = URLCache::sharedURLCache();
  if (!cache) return 0;
  return std::max(cache->memoryCapacity(), cache->diskCapacity()) / 20;
}

}  // namespace

std::unique_ptr<CurlTransfer> CurlTransfer::create(const URLRequest& request, URLError& error) {
  std::unique_ptr<CurlTransfer> transfer(new CurlTransfer(request, cacheLimitFor(request)));
  if (!transfer->configure(error)) return nullptr;
  return transfer;
}

CurlTransfer::CurlTransfer(const URLRequest& request, std::size_t cacheLimit)
    : _request(request),
      _timeout(timeoutOf(request)),
      _lastActivity(realNow()),
      _cacheLimit(cacheLimit),
      _collectForCache(cacheLimit > 0) {}

CurlTransfer::~CurlTransfer() {
  if (_handle) curl_easy_cleanup(_handle);
  if (_headerList) curl_slist_free_all(_headerList);
}

bool CurlTransfer::configure(URLError& error) {
  _handle = curl_easy_init();
  if (!_handle) {
    error = URLError{URLError::Code::Unknown, "cannot create a transfer"};
    return false;
  }
  auto fail = [&](CURLcode code) {
    error = errorForCode(code, nullptr);
    return false;
  };
  if (_request.url.empty()) {
    error = URLError{URLError::Code::BadURL, "empty URL"};
    return false;
  }
  CURLcode code = curl_easy_setopt(_handle, CURLOPT_URL, _request.url.c_str());
  if (code != CURLE_OK) return fail(code);
  // Only plain web requests: a URL from a server must not reach files or other protocols.
  curl_easy_setopt(_handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(_handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(_handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(_handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(_handle, CURLOPT_MAXREDIRS, kMaxRedirects);
  curl_easy_setopt(_handle, CURLOPT_ERRORBUFFER, _errorText);
  // Proxies come from the usual variables (http_proxy, https_proxy, all_proxy, no_proxy), as
  // curl reads them. A tunnel's own "Connection established" head must not reach the header
  // callback, or it would be taken for the answer's.
  curl_easy_setopt(_handle, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
  // Where the certificates to trust live, when the environment says so (as for the curl tool).
  for (const char* variable : {"CURL_CA_BUNDLE", "SSL_CERT_FILE"}) {
    if (const char* file = std::getenv(variable); file && *file) {
      curl_easy_setopt(_handle, CURLOPT_CAINFO, file);
      break;
    }
  }
  // Bodies are handed over exactly as sent: the content protocol names its own encoding.
  curl_easy_setopt(_handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);

  // The time-out is for silence, not for the whole transfer: connecting, or a stretch without
  // a byte, longer than it fails the transfer; a slow but steady download goes on. curl's own
  // low-speed check averages over several seconds, so silence is timed here (idleDeadline).
  curl_easy_setopt(_handle, CURLOPT_CONNECTTIMEOUT_MS,
                   static_cast<long>(std::ceil(_timeout * 1000)));
  curl_easy_setopt(_handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(_handle, CURLOPT_XFERINFOFUNCTION, &CurlTransfer::onProgress);
  curl_easy_setopt(_handle, CURLOPT_XFERINFODATA, this);

  if (_request.httpMethod == "GET") {
    curl_easy_setopt(_handle, CURLOPT_HTTPGET, 1L);
  } else if (_request.httpMethod == "HEAD") {
    curl_easy_setopt(_handle, CURLOPT_NOBODY, 1L);
  } else {
    if (_request.httpMethod != "POST")
      curl_easy_setopt(_handle, CURLOPT_CUSTOMREQUEST, _request.httpMethod.c_str());
    curl_easy_setopt(_handle, CURLOPT_POSTFIELDSIZE_LARGE,
                     static_cast<curl_off_t>(_request.body.size()));
    curl_easy_setopt(
        _handle, CURLOPT_COPYPOSTFIELDS,
        _request.body.empty() ? "" : reinterpret_cast<const char*>(_request.body.data()));
  }
  for (const auto& [name, value] : _request.headers) {
    std::string line = name + ": " + value;
    if (value.empty()) line = name + ";";  // curl's spelling of a field with an empty value
    _headerList = curl_slist_append(_headerList, line.c_str());
  }
  // curl would otherwise add "Expect: 100-continue" to larger bodies and wait for the server.
  if (!_request.valueForHTTPHeaderField("Expect"))
    _headerList = curl_slist_append(_headerList, "Expect:");
  curl_easy_setopt(_handle, CURLOPT_HTTPHEADER, _headerList);

  curl_easy_setopt(_handle, CURLOPT_HEADERFUNCTION, &CurlTransfer::onHeader);
  curl_easy_setopt(_handle, CURLOPT_HEADERDATA, this);
  curl_easy_setopt(_handle, CURLOPT_WRITEFUNCTION, &CurlTransfer::onBody);
  curl_easy_setopt(_handle, CURLOPT_WRITEDATA, this);
  curl_easy_setopt(_handle, CURLOPT_PRIVATE, this);
  return true;
}

void CurlTransfer::noteActivity() {
  _lastActivity = realNow();
}

int CurlTransfer::onProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                             curl_off_t uploaded) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  if (downloaded + uploaded != transfer->_progressSeen) {
    transfer->_progressSeen = downloaded + uploaded;
    transfer->noteActivity();
  }
  // A blocking transfer is stopped here; a driven one by its driver (expireIdle).
  if (realNow() >= transfer->idleDeadline()) {
    transfer->_idleExpired = true;
    return 1;
  }
  return 0;
}

void CurlTransfer::expireIdle() {
  _idleExpired = true;
  finish(CURLE_OPERATION_TIMEDOUT);
}

std::size_t CurlTransfer::onHeader(char* data, std::size_t size, std::size_t count, void* self) {
  static_cast<CurlTransfer*>(self)->noteActivity();
  static_cast<CurlTransfer*>(self)->headerLine(std::string_view(data, size * count));
  return size * count;
}

void CurlTransfer::headerLine(std::string_view raw) {
  std::string_view line = withoutLineEnd(raw);
  if (line.empty()) {
    endOfHeaders();
    return;
  }
  if (line.starts_with("HTTP/")) {
    // A new head begins (after an interim answer or a redirect).
    _response = URLResponse{};
    _response.url = _request.url;
    std::string_view rest = line.substr(std::min(line.find(' '), line.size()));
    rest = trimmed(rest);
    int status = 0;
    std::from_chars(rest.data(), rest.data() + rest.size(), status);
    _response.statusCode = status;
    return;
  }
  auto colon = line.find(':');
  if (colon == std::string_view::npos) return;
  _response.headers.emplace_back(std::string(trimmed(line.substr(0, colon))),
                                 std::string(trimmed(line.substr(colon + 1))));
}

void CurlTransfer::endOfHeaders() {
  int status = _response.statusCode;
  if (_responseDelivered || (status >= 100 && status < 200)) return;
  bool redirect =
      (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) &&
      _response.valueForHTTPHeaderField("Location").has_value();
  if (redirect && _redirectsSeen < kMaxRedirects) {
    ++_redirectsSeen;  // curl follows it; the next head is the one that counts
    return;
  }
  char* effective = nullptr;
  if (curl_easy_getinfo(_handle, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK && effective)
    _response.url = effective;
  _response.deriveFieldsFromHeaders();
  _responseDelivered = true;
  _events.push_back(URLTransferEvent{URLTransferEvent::Kind::Response, _response, {}, {}});
}

std::size_t CurlTransfer::onBody(char* data, std::size_t size, std::size_t count, void* self) {
  auto* transfer = static_cast<CurlTransfer*>(self);
  std::size_t length = size * count;
  transfer->noteActivity();
  if (!transfer->_responseDelivered) transfer->endOfHeaders();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
  transfer->_events.push_back(
      URLTransferEvent{URLTransferEvent::Kind::Data, {}, Bytes(bytes, bytes + length), {}});
  if (transfer->_collectForCache) {
    if (transfer->_cacheBody.size() + length > transfer->_cacheLimit) {
      transfer->_collectForCache = false;
      Bytes().swap(transfer->_cacheBody);
    } else {
      transfer->_cacheBody.insert(transfer->_cacheBody.end(), bytes, bytes + length);
    }
  }
  return length;
}

void CurlTransfer::finish(CURLcode result) {
  if (_finished) return;
  _finished = true;
  if (_idleExpired && result == CURLE_ABORTED_BY_CALLBACK) result = CURLE_OPERATION_TIMEDOUT;
  if (result == CURLE_OK) {
    if (!_responseDelivered) endOfHeaders();
    _endedWell = true;
    _events.push_back(URLTransferEvent{URLTransferEvent::Kind::Finished, {}, {}, {}});
  } else {
    _events.push_back(URLTransferEvent{URLTransferEvent::Kind::Failed,
                                       {},
                                       {},
                                       errorForCode(result, _errorText[0] ? _errorText : nullptr)});
  }
}

bool CurlTransfer::isCacheable() const {
  return _endedWell && _collectForCache && _responseDelivered && _response.statusCode == 200;
}

URLError CurlTransfer::errorForCode(CURLcode code, const char* detail) {
  URLError::Code kind = URLError::Code::Unknown;
  switch (code) {
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
      kind = URLError::Code::BadURL;
      break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT:
      kind = URLError::Code::CannotConnect;
      break;
    case CURLE_OPERATION_TIMEDOUT:
      kind = URLError::Code::TimedOut;
      break;
    case CURLE_TOO_MANY_REDIRECTS:
      kind = URLError::Code::TooManyRedirects;
      break;
    case CURLE_PARTIAL_FILE:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_GOT_NOTHING:
      kind = URLError::Code::ConnectionLost;
      break;
    default:
      break;
  }
  return URLError{kind, detail ? std::string(detail) : std::string(curl_easy_strerror(code))};
}

}  // namespace platform
