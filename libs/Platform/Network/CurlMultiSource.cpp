#include "Network/CurlMultiSource.h"

#include <poll.h>

#include <algorithm>
#include <limits>

#include "Foundation/Clock.h"
#include "Foundation/Console.h"
#include "Network/CurlTransfer.h"
#include "Network/URLConnection.h"

namespace platform {
namespace {

double realNow() {
  return SystemClock().now();
}

}  // namespace

CurlMultiSource& CurlMultiSource::shared() {
  // Never destroyed: connections may still be held by objects that outlive main().
  static CurlMultiSource* source = new CurlMultiSource();
  return *source;
}

CurlMultiSource::CurlMultiSource() : _deadline(std::numeric_limits<double>::infinity()) {
  _multi = curl_multi_init();
  if (!_multi) {
    Console::log("HTTP: cannot create the transfer driver");
    return;
  }
  curl_multi_setopt(_multi, CURLMOPT_SOCKETFUNCTION, &CurlMultiSource::onSocket);
  curl_multi_setopt(_multi, CURLMOPT_SOCKETDATA, this);
  curl_multi_setopt(_multi, CURLMOPT_TIMERFUNCTION, &CurlMultiSource::onTimer);
  curl_multi_setopt(_multi, CURLMOPT_TIMERDATA, this);
  RunLoop::main().addSource(this);
}

CurlMultiSource::~CurlMultiSource() {
  RunLoop::main().removeSource(this);
  if (_multi) curl_multi_cleanup(_multi);
}

int CurlMultiSource::onSocket(CURL*, curl_socket_t socket, int what, void* self, void*) {
  auto* source = static_cast<CurlMultiSource*>(self);
  if (what == CURL_POLL_REMOVE) {
    source->_sockets.erase(socket);
  } else {
    source->_sockets[socket] = what;
  }
  return 0;
}

int CurlMultiSource::onTimer(CURLM*, long timeoutMs, void* self) {
  auto* source = static_cast<CurlMultiSource*>(self);
  source->_deadline = timeoutMs < 0 ? std::numeric_limits<double>::infinity()
                                    : realNow() + static_cast<double>(timeoutMs) / 1000.0;
  return 0;
}

bool CurlMultiSource::add(const std::shared_ptr<URLConnection>& connection) {
  if (!_multi || !connection->_transfer) return false;
  CURL* easy = connection->_transfer->handle();
  if (curl_multi_add_handle(_multi, easy) != CURLM_OK) return false;
  _running[easy] = connection;
  return true;
}

void CurlMultiSource::remove(URLConnection& connection) {
  if (!connection._transfer) return;
  CURL* easy = connection._transfer->handle();
  auto it = _running.find(easy);
  if (it == _running.end()) return;
  curl_multi_remove_handle(_multi, easy);
  // The caller may be the connection's last owner's method: let it go after the caller returns.
  std::shared_ptr<URLConnection> keep = std::move(it->second);
  _running.erase(it);
  RunLoop::main().post([keep] {});
}

double CurlMultiSource::prepare(std::vector<pollfd>& fds) {
  for (const auto& [socket, what] : _sockets) {
    short events = 0;
    if (what == CURL_POLL_IN || what == CURL_POLL_INOUT) events |= POLLIN;
    if (what == CURL_POLL_OUT || what == CURL_POLL_INOUT) events |= POLLOUT;
    fds.push_back(pollfd{socket, events, 0});
  }
  double due = _deadline;
  for (const auto& [easy, connection] : _running)
    due = std::min(due, connection->_transfer->idleDeadline());
  return due - realNow();
}

bool CurlMultiSource::dispatch(const pollfd* fds, size_t count, bool deadlinePassed) {
  if (!_multi) return false;
  int stillRunning = 0;
  bool acted = false;
  for (size_t i = 0; i < count; ++i) {
    if (!fds[i].revents) continue;
    int mask = 0;
    if (fds[i].revents & POLLIN) mask |= CURL_CSELECT_IN;
    if (fds[i].revents & POLLOUT) mask |= CURL_CSELECT_OUT;
    if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) mask |= CURL_CSELECT_ERR;
    curl_multi_socket_action(_multi, fds[i].fd, mask, &stillRunning);
    acted = true;
  }
  if (deadlinePassed || realNow() >= _deadline) {
    _deadline = std::numeric_limits<double>::infinity();
    curl_multi_socket_action(_multi, CURL_SOCKET_TIMEOUT, 0, &stillRunning);
    acted = true;
  }
  collectFinished();
  acted |= expireSilentTransfers();
  deliverAll();
  return acted;
}

void CurlMultiSource::collectFinished() {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(_multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    CURL* easy = message->easy_handle;
    CURLcode result = message->data.result;
    auto it = _running.find(easy);
    if (it == _running.end()) continue;
    std::shared_ptr<URLConnection> connection = std::move(it->second);
    _running.erase(it);
    curl_multi_remove_handle(_multi, easy);
    connection->_transfer->finish(result);
    _ended.push_back(std::move(connection));
  }
}

bool CurlMultiSource::expireSilentTransfers() {
  double now = realNow();
  bool expired = false;
  for (auto it = _running.begin(); it != _running.end();) {
    if (now < it->second->_transfer->idleDeadline()) {
      ++it;
      continue;
    }
    curl_multi_remove_handle(_multi, it->first);
    it->second->_transfer->expireIdle();
    _ended.push_back(std::move(it->second));
    it = _running.erase(it);
    expired = true;
  }
  return expired;
}

void CurlMultiSource::deliverAll() {
  std::vector<std::shared_ptr<URLConnection>> connections;
  connections.reserve(_running.size() + _ended.size());
  for (const auto& [easy, connection] : _running) {
    if (!connection->_transfer->events().empty()) connections.push_back(connection);
  }
  for (auto& connection : _ended) connections.push_back(std::move(connection));
  _ended.clear();
  // A delegate may cancel any connection, start new ones or run the loop; each connection is
  // held here while its events are handed over, and a cancelled one drops what it has queued.
  for (const auto& connection : connections) {
    if (connection->_transfer) connection->deliverEvents(connection->_transfer->events());
  }
}

}  // namespace platform
