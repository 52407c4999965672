#pragma once

#include <deque>
#include <memory>
#include <optional>

#include "Network/CachedURLResponse.h"
#include "Network/URLRequest.h"
#include "Network/URLResponse.h"

namespace platform {

class CurlTransfer;
class URLConnection;
struct URLTransferEvent;

// Told what a connection receives, on the main thread, in this order: one response, the body
// in chunks, the offer to cache, then either the end or a failure. Nothing arrives after the
// end, after a failure, or after the connection was cancelled.
class URLConnectionDelegate {
 public:
  virtual ~URLConnectionDelegate() = default;
  virtual void connectionDidReceiveResponse(URLConnection& connection, const URLResponse& response);
  virtual void connectionDidReceiveData(URLConnection& connection, const Bytes& data);
  // Offered a complete GET answer with status 200 before the end is reported, when a shared
  // URL cache is installed; what it returns is stored, nothing when it returns none.
  virtual std::optional<CachedURLResponse> connectionWillCacheResponse(
      URLConnection& connection, const CachedURLResponse& response);
  virtual void connectionDidFinishLoading(URLConnection& connection);
  virtual void connectionDidFailWithError(URLConnection& connection, const URLError& error);
};

// An HTTP transfer on libcurl's multi interface, driven by the main run loop. The connection
// keeps itself alive while it runs; the delegate is not owned, and a connection whose delegate
// is gone cancels itself.
class URLConnection : public std::enable_shared_from_this<URLConnection> {
 public:
  // Main thread. The connection starts at once unless `startImmediately` is false.
  static std::shared_ptr<URLConnection> connectionWithRequest(
      URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate,
      bool startImmediately = true);
  ~URLConnection();
  URLConnection(const URLConnection&) = delete;
  URLConnection& operator=(const URLConnection&) = delete;

  // Main thread; once. A request the cache may answer is answered from it, still
  // asynchronously.
  void start();
  // Main thread. Stops the transfer; the delegate hears nothing more.
  void cancel();

  const URLRequest& originalRequest() const { return _request; }
  bool isRunning() const { return _started && !_ended && !_cancelled; }

  // Performs the request on the calling thread, which it blocks: for background threads. Gives
  // the body of a completed transfer whatever its status, none on failure; the cache is read
  // and written as by the asynchronous connection.
  static std::optional<Bytes> sendSynchronousRequest(const URLRequest& request,
                                                     URLResponse* response, URLError* error);

 private:
  friend class CurlMultiSource;
  URLConnection(URLRequest request, std::weak_ptr<URLConnectionDelegate> delegate);

  void answerFromCache(std::shared_ptr<const CachedURLResponse> cached);
  void failSoon(URLError error);
  // Hands queued events to the delegate until the queue is empty, the connection ends or it is
  // cancelled.
  void deliverEvents(std::deque<URLTransferEvent>& events);
  void offerToCache(URLConnectionDelegate& delegate);

  URLRequest _request;
  std::weak_ptr<URLConnectionDelegate> _delegate;
  std::unique_ptr<CurlTransfer> _transfer;
  bool _started = false;
  bool _ended = false;
  bool _cancelled = false;
};

}  // namespace platform
