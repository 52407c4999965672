#include "Network/URLConnection.h"

#include <curl/curl.h>

#include "Foundation/Console.h"
#include "Foundation/RunLoop.h"
#include "Network/CurlMultiSource.h"
#include "Network/CurlTransfer.h"
#include "Network/URLCache.h"

namespace platform {
namespace {

// libcurl is set up once, during static initialization, before the process starts threads.
const bool kCurlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;

bool mayAnswerFromCache(const URLRequest& request) {
  return request.cachePolicy == URLRequestCachePolicy::ReturnCacheDataElseLoad &&
         request.httpMethod == "GET";
}

std::shared_ptr<const CachedURLResponse> cachedAnswer(const URLRequest& request) {
  if (!mayAnswerFromCache(request)) return nullptr;
  auto cache = URLCache::sharedURLCache();
  return cache ? cache->cachedResponseForURL(request.url) : nullptr;
}

CachedURLResponse cacheEntry(const CurlTransfer& transfer) {
  CachedURLResponse entry;
  static_cast<URLResponse&>(entry) = transfer.response();
  entry.data = transfer.cacheBody();
  return entry;
}

}  // namespace

void URLConnectionDelegate::connectionDidReceiveResponse(URLConnection&, const URLResponse&) {}
void URLConnectionDelegate::connectionDidReceiveData(URLConnection&, const Bytes&) {}
std::optional<CachedURLResponse> URLConnectionDelegate::connectionWillCacheResponse(
    URLConnection&, const CachedURLResponse& response) {
  return response;
}
void URLConnectionDelegate::connectionDidFinishLoading(URLConnection&) {}
void URLConnectionDelegate::connectionDidFailWithError(URLConnection&, const URLError&) {}

std::shared_ptr<URLConnection> URLConnection::connectionWithRequest(
    URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate, bool startImmediately) {
  std::shared_ptr<URLConnection> connection(
      new URLConnection(std::move(request), std::move(delegate)));
  if (startImmediately) connection->start();
  return connection;
}

URLConnection::URLConnection(URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate)
    : _request(std::move(request)), _delegate(std::move(delegate)) {}

URLConnection::~URLConnection() = default;

void URLConnection::start() {
  if (!RunLoop::isMainThread()) {
    Console::log("URLConnection: start called off the main thread; ignored");
    return;
  }
  if (_started || _cancelled) return;
  _started = true;
  if (auto cached = cachedAnswer(_request)) {
    answerFromCache(std::move(cached));
    return;
  }
  URLError error;
  if (!kCurlReady) {
    failSoon(URLError{URLError::Code::Unknown, "the HTTP library could not be set up"});
    return;
  }
  _transfer = CurlTransfer::create(_request, error);
  if (!_transfer) {
    failSoon(error);
    return;
  }
  if (!CurlMultiSource::shared().add(shared_from_this())) {
    _transfer.reset();
    failSoon(URLError{URLError::Code::Unknown, "cannot start the transfer"});
  }
}

void URLConnection::answerFromCache(std::shared_ptr<const CachedURLResponse> cached) {
  auto events = std::make_shared<std::deque<URLTransferEvent>>();
  events->push_back(URLTransferEvent{URLTransferEvent::Kind::Response, *cached, {}, {}});
  if (!cached->data.empty())
    events->push_back(URLTransferEvent{URLTransferEvent::Kind::Data, {}, cached->data, {}});
  events->push_back(URLTransferEvent{URLTransferEvent::Kind::Finished, {}, {}, {}});
  // Like a network answer, a cached one arrives from the run loop, never inside start().
  RunLoop::main().post([self = shared_from_this(), events] { self->deliverEvents(*events); });
}

void URLConnection::failSoon(URLError error) {
  auto events = std::make_shared<std::deque<URLTransferEvent>>();
  events->push_back(URLTransferEvent{URLTransferEvent::Kind::Failed, {}, {}, std::move(error)});
  RunLoop::main().post([self = shared_from_this(), events] { self->deliverEvents(*events); });
}

void URLConnection::cancel() {
  if (_cancelled || _ended) return;
  _cancelled = true;
  if (_transfer) {
    CurlMultiSource::shared().remove(*this);
    _transfer->events().clear();
  }
}

void URLConnection::deliverEvents(std::deque<URLTransferEvent>& events) {
  while (!events.empty() && !_cancelled && !_ended) {
    URLTransferEvent event = std::move(events.front());
    events.pop_front();
    std::shared_ptr<URLConnectionDelegate> delegate = _delegate.lock();
    if (!delegate) {
      cancel();
      break;
    }
    switch (event.kind) {
      case URLTransferEvent::Kind::Response:
        delegate->connectionDidReceiveResponse(*this, event.response);
        break;
      case URLTransferEvent::Kind::Data:
        delegate->connectionDidReceiveData(*this, event.data);
        break;
      case URLTransferEvent::Kind::Finished:
        offerToCache(*delegate);
        if (_cancelled) break;
        _ended = true;
        delegate->connectionDidFinishLoading(*this);
        break;
      case URLTransferEvent::Kind::Failed:
        _ended = true;
        delegate->connectionDidFailWithError(*this, event.error);
        break;
    }
  }
  if (_cancelled || _ended) events.clear();
}

void URLConnection::offerToCache(URLConnectionDelegate& delegate) {
  if (!_transfer || !_transfer->isCacheable()) return;
  auto cache = URLCache::sharedURLCache();
  if (!cache) return;
  if (auto stored = delegate.connectionWillCacheResponse(*this, cacheEntry(*_transfer)))
    cache->storeCachedResponse(std::move(*stored));
}

std::optional<Bytes> URLConnection::sendSynchronousRequest(const URLRequest& request,
                                                           URLResponse* response, URLError* error) {
  if (auto cached = cachedAnswer(request)) {
    if (response) *response = *cached;
    return cached->data;
  }
  URLError failure;
  std::unique_ptr<CurlTransfer> transfer =
      kCurlReady ? CurlTransfer::create(request, failure) : nullptr;
  if (!transfer) {
    if (error)
      *error = kCurlReady
                   ? failure
                   : URLError{URLError::Code::Unknown, "the HTTP library could not be set up"};
    return std::nullopt;
  }
  transfer->finish(curl_easy_perform(transfer->handle()));
  Bytes body;
  std::optional<URLError> failed;
  for (URLTransferEvent& event : transfer->events()) {
    switch (event.kind) {
      case URLTransferEvent::Kind::Response:
        if (response) *response = event.response;
        break;
      case URLTransferEvent::Kind::Data:
        body.insert(body.end(), event.data.begin(), event.data.end());
        break;
      case URLTransferEvent::Kind::Failed:
        failed = event.error;
        break;
      case URLTransferEvent::Kind::Finished:
        break;
    }
  }
  if (failed) {
    if (error) *error = *failed;
    return std::nullopt;
  }
  if (transfer->isCacheable()) {
    if (auto cache = URLCache::sharedURLCache()) cache->storeCachedResponse(cacheEntry(*transfer));
  }
  return body;
}

}  // namespace platform
