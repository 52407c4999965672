#pragma once

#include <curl/curl.h>

#include <map>
#include <memory>
#include <vector>

#include "Foundation/RunLoop.h"

namespace platform {

class URLConnection;

// The process's libcurl multi handle as a source of the main run loop: the loop polls curl's
// sockets and keeps curl's timer in real time; finished transfers are collected and every
// connection's queued events are handed to its delegate after curl returns. Main thread only.
class CurlMultiSource : public RunLoop::Source {
 public:
  static CurlMultiSource& shared();

  // Starts driving the connection's transfer; the source keeps the connection alive until the
  // transfer ends or is removed.
  bool add(const std::shared_ptr<URLConnection>& connection);
  void remove(URLConnection& connection);
  size_t runningCount() const { return _running.size(); }

  double prepare(std::vector<pollfd>& fds) override;
  bool dispatch(const pollfd* fds, size_t count, bool deadlinePassed) override;

 private:
  CurlMultiSource();
  ~CurlMultiSource() override;

  static int onSocket(CURL* easy, curl_socket_t socket, int what, void* self, void* socketData);
  static int onTimer(CURLM* multi, long timeoutMs, void* self);
  void collectFinished();
  // Ends the transfers that have been silent past their time-out.
  bool expireSilentTransfers();
  void deliverAll();

  CURLM* _multi = nullptr;
  std::map<curl_socket_t, int> _sockets;  // socket -> CURL_POLL_* interest
  double _deadline;                       // real time; infinity when curl wants no call
  std::map<CURL*, std::shared_ptr<URLConnection>> _running;
  std::vector<std::shared_ptr<URLConnection>> _ended;  // finished since the last delivery
};

}  // namespace platform
