#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>

#include "Network/URLRequest.h"
#include "Network/URLResponse.h"

namespace platform {

// What a transfer reports, in the order the connection's delegate sees it: one response, body
// chunks, then one end (finished or failed).
struct URLTransferEvent {
  enum class Kind { Response, Data, Finished, Failed };
  Kind kind;
  URLResponse response;
  Bytes data;
  URLError error;
};

// One libcurl easy handle set up for a request. curl's callbacks only queue events; whoever
// drives the handle takes them afterwards, outside curl, where a receiver may cancel freely.
class CurlTransfer {
 public:
  // None, with `error` filled, when curl refuses the request (a malformed or non-HTTP URL).
  static std::unique_ptr<CurlTransfer> create(const URLRequest& request, URLError& error);
  ~CurlTransfer();
  CurlTransfer(const CurlTransfer&) = delete;
  CurlTransfer& operator=(const CurlTransfer&) = delete;

  CURL* handle() const { return _handle; }
  // Queues the end of the transfer from curl's result code.
  void finish(CURLcode result);
  std::deque<URLTransferEvent>& events() { return _events; }

  // The whole body and head when the transfer ended well and the answer may be cached: a GET
  // with status 200 whose body stayed within `cacheLimit`.
  bool isCacheable() const;
  const URLResponse& response() const { return _response; }
  const Bytes& cacheBody() const { return _cacheBody; }

  // When the transfer times out for silence (real time), and ending it for that reason.
  double idleDeadline() const { return _lastActivity + _timeout; }
  void expireIdle();

  static URLError errorForCode(CURLcode code, const char* detail);

 private:
  CurlTransfer(const URLRequest& request, std::size_t cacheLimit);
  bool configure(URLError& error);

  static std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* self);
  static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
  static int onProgress(void* self, curl_off_t, curl_off_t downloaded, curl_off_t,
                        curl_off_t uploaded);
  void noteActivity();
  void headerLine(std::string_view line);
  void endOfHeaders();

  CURL* _handle = nullptr;
  curl_slist* _headerList = nullptr;
  URLRequest _request;
  char _errorText[CURL_ERROR_SIZE] = {};

  URLResponse _response;  // the head being read, then the one delivered
  bool _responseDelivered = false;
  int _redirectsSeen = 0;
  bool _finished = false;

  double _timeout;
  double _lastActivity;
  curl_off_t _progressSeen = 0;
  bool _idleExpired = false;

  std::size_t _cacheLimit;
  bool _collectForCache;
  Bytes _cacheBody;
  bool _endedWell = false;

  std::deque<URLTransferEvent> _events;
};

}  // namespace platform
