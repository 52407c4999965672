#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "AdsHandler.h"
#include "AnswerEncoding.h"
#include "CatalogWatcher.h"
#include "RequestLog.h"
#include "ScreenKind.h"
#include "ServerFault.h"
#include "ServerRequest.h"
#include "StatsStore.h"

namespace httplib {
class Server;
class Request;
class Response;
}  // namespace httplib

class ProtocolHandler;

// The content server of a catalogue folder, on its own threads: "/standard/" and "/tall/" each
// answer the protocol's three requests for their screen kind. It follows new publishes while
// it runs (see CatalogWatcher). Tests start it on a free loopback port and may inject faults.
class ReferenceServer {
 public:
  // The ad network's app-open conversion endpoint, answered "OK" so that reports succeed.
  static constexpr const char* kAppOpenPath = "/f0";
  struct Configuration {
    std::string catalogFolder;
    std::string host = "127.0.0.1";
    int port = 8642;  // 0: any free port
    // The root that "?act=nodes" announces, as "http://cdn.example:80"; empty: where it
    // listens, "http://HOST:PORT".
    std::string publicURL;
    std::vector<std::string> extraNodes;  // further roots for "?act=nodes"
    size_t gzipThreshold = AnswerEncoding::kDefaultGzipThreshold;
    bool logRequests = true;  // one line per request on standard output
    // Whether requests() keeps every request; only tests ask, since it grows with each one.
    bool keepRequests = false;
    // Worker threads: each connection holds one while it is read, answered or kept alive, so
    // a few slow clients must not hold them all.
    size_t workers = 64;
    // The ads endpoints under "/ads/" serve this folder ("feed.xml", "icons/"); empty: none.
    std::string adsFolder;
    // Where accepted statistics reports are stored; empty: "stats.sqlite" in the ads folder.
    std::string statsDatabase;
    // The salt that statistics reports are signed with; empty: the application's.
    std::string statsSalt;
  };

  // A client that stops sending (or reading) for this long loses its connection.
  static constexpr int kReadTimeoutSeconds = 2;
  static constexpr int kWriteTimeoutSeconds = 5;
  // How long an idle kept-alive connection may hold a worker.
  static constexpr int kKeepAliveSeconds = 2;

  // Consulted for every request, on the server's threads; its answer replaces or disturbs the
  // normal answer. It must be safe to call from several threads at once.
  using FaultHook = std::function<ServerFault(const ServerRequest& request)>;

  explicit ReferenceServer(Configuration configuration);
  ~ReferenceServer();  // stops
  ReferenceServer(const ReferenceServer&) = delete;
  ReferenceServer& operator=(const ReferenceServer&) = delete;

  // Reads the catalogue and starts listening; false, with the reason in `error`, when the
  // catalogue cannot be read or the address cannot be bound. A stopped server can start again
  // (on the port it had, unless the configuration asked for a fixed one).
  bool start(std::string& error);
  // Stops listening and waits for the requests under way; stalled answers are cut short.
  void stop();
  bool isRunning() const { return _server != nullptr; }

  int port() const { return _port; }
  // Where it listens: "http://127.0.0.1:PORT", and the kinds' base URLs under it
  // ("http://127.0.0.1:PORT/tall/"), ready for the device's directory configuration.
  std::string rootURL() const;
  std::string baseURL(ScreenKind kind) const;

  void setFaultHook(FaultHook hook);
  // The accepted statistics reports, while running with an ads folder; null otherwise.
  StatsStore* statsStore() const { return _stats.get(); }
  // Every request since the start (or the last clear), in order of arrival, when the
  // configuration keeps them (empty otherwise); the count is kept either way.
  std::vector<RequestRecord> requests() const { return _log.records(); }
  size_t requestCount() const { return _requestCount; }
  void clearRequests() {
    _log.clear();
    _requestCount = 0;
  }

 private:
  void handle(const httplib::Request& request, httplib::Response& response);
  void send(ServerAnswer answer, const ServerFault& fault, httplib::Response& response);
  // Waits unless the server stops first; false when it stopped.
  bool pause(std::chrono::milliseconds duration);

  Configuration _configuration;
  CatalogWatcher _watcher;
  RequestLog _log;
  std::unique_ptr<httplib::Server> _server;
  std::unique_ptr<ProtocolHandler> _handler;
  std::unique_ptr<StatsStore> _stats;
  std::unique_ptr<AdsHandler> _ads;
  std::thread _thread;
  int _port = 0;
  std::atomic<size_t> _nextIndex{0};
  std::atomic<size_t> _requestCount{0};

  std::mutex _hookMutex;
  FaultHook _hook;

  std::mutex _stopMutex;
  std::condition_variable _stopCondition;
  bool _stopping = false;
};
