#include "ReferenceServer.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "CatalogAnswers.h"
#include "Config/AdsAccount.h"
#include "ProtocolHandler.h"
#include "UTCStamp.h"

using Clock = std::chrono::steady_clock;

namespace {

// Each request runs on one worker thread from routing to the log line, so its timing and the
// bytes its body actually sent can live there.
struct Exchange {
  Clock::time_point start;
  size_t sent = 0;
  bool streamed = false;
};
thread_local Exchange currentExchange;

ServerRequest makeRequest(const httplib::Request& request, size_t index) {
  ServerRequest made;
  made.index = index;
  made.method = request.method;
  made.target = request.target;
  made.path = request.path;
  if (request.path.size() > 2 && request.path.front() == '/' && request.path.back() == '/')
    made.kind = ScreenKinds::fromPathName(
        std::string_view(request.path).substr(1, request.path.size() - 2));
  for (const auto& [name, value] : request.params) made.parameters.emplace(name, value);
  made.act = made.parameter("act").value_or("");
  return made;
}

// "2026-12-07T10:15:02.123Z 127.0.0.1 GET /tall/?act=nodes 200 48 0.3ms"
void logLine(const httplib::Request& request, const httplib::Response& response) {
  double milliseconds =
      std::chrono::duration<double, std::milli>(Clock::now() - currentExchange.start).count();
  size_t bytes = currentExchange.streamed ? currentExchange.sent : response.body.size();
  std::printf("%s %s %s %s %d %zu %.1fms\n", utcStamp().c_str(), request.remote_addr.c_str(),
              request.method.c_str(), request.target.c_str(), response.status, bytes, milliseconds);
  std::fflush(stdout);
}

// "ads parameters /ads/info.php: user=6f1c… application_id=com.quillon.pictavia …", decoded,
// in the order the device sent them.
void logParameters(const httplib::Request& request) {
  auto parameters = AdsHandler::orderedParameters(request.target);
  if (parameters.empty()) return;
  std::string line = "ads parameters " + request.path + ":";
  for (const auto& [key, value] : parameters) line += " " + key + "=" + value;
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

// A wildcard address would be announced by "?act=nodes" as it is, and no device can reach
// "http://0.0.0.0:8642".
bool isWildcardHost(const std::string& host) {
  return host == "0.0.0.0" || host == "::" || host == "[::]" || host.empty();
}

}  // namespace

ReferenceServer::ReferenceServer(Configuration configuration)
    : _configuration(std::move(configuration)), _watcher(_configuration.catalogFolder) {}

ReferenceServer::~ReferenceServer() {
  stop();
}

std::string ReferenceServer::rootURL() const {
  return "http://" + _configuration.host + ":" + std::to_string(_port);
}

std::string ReferenceServer::baseURL(ScreenKind kind) const {
  return CatalogAnswers::baseURL(rootURL(), kind);
}

void ReferenceServer::setFaultHook(FaultHook hook) {
  std::lock_guard lock(_hookMutex);
  _hook = std::move(hook);
}

bool ReferenceServer::start(std::string& error) {
  if (_server) {
    error = "already running";
    return false;
  }
  if (_configuration.publicURL.empty() && isWildcardHost(_configuration.host)) {
    error = "listening on all addresses (" + _configuration.host +
            ") needs --public-url: ?act=nodes would announce an address no device can reach";
    return false;
  }
  if (!_watcher.load(error)) return false;
  if (!_configuration.adsFolder.empty()) {
    std::string database = _configuration.statsDatabase.empty()
                               ? _configuration.adsFolder + "/stats.sqlite"
                               : _configuration.statsDatabase;
    _stats = StatsStore::open(database, error);
    if (!_stats) return false;
  }
  auto server = std::make_unique<httplib::Server>();
  size_t workers = std::max<size_t>(_configuration.workers, 1);
  server->new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
  // Connections stay open for the next request; one that goes quiet while it is read or
  // answered is closed, so slow clients cannot hold the workers for long.
  server->set_keep_alive_max_count(1000);
  server->set_keep_alive_timeout(kKeepAliveSeconds);
  // A kept-alive answer goes out in two writes (head, then body); without this the second
  // waits for the client's delayed acknowledgement, 40 ms an answer.
  server->set_tcp_nodelay(true);
  server->set_read_timeout(kReadTimeoutSeconds, 0);
  server->set_write_timeout(kWriteTimeoutSeconds, 0);
  server->set_pre_routing_handler([](const httplib::Request&, httplib::Response&) {
    currentExchange = Exchange{Clock::now()};
    return httplib::Server::HandlerResponse::Unhandled;
  });
  server->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
    handle(request, response);
  });
  if (_configuration.logRequests) server->set_logger(logLine);

  int port = _configuration.port != 0 ? _configuration.port : _port;
  if (port != 0 && !server->bind_to_port(_configuration.host, port)) port = -1;
  if (port == 0) port = server->bind_to_any_port(_configuration.host);
  if (port <= 0) {
    error = "cannot listen on " + _configuration.host + ":" +
            std::to_string(_configuration.port != 0 ? _configuration.port : _port);
    return false;
  }
  _port = port;
  std::vector<std::string> roots{_configuration.publicURL.empty() ? rootURL()
                                                                  : _configuration.publicURL};
  roots.insert(roots.end(), _configuration.extraNodes.begin(), _configuration.extraNodes.end());
  if (_stats) {
    std::string salt =
        _configuration.statsSalt.empty() ? AdsAccount::kSalt : _configuration.statsSalt;
    _ads =
        std::make_unique<AdsHandler>(_configuration.adsFolder, roots.front(), _stats.get(), salt);
  }
  _handler =
      std::make_unique<ProtocolHandler>(_watcher, std::move(roots), _configuration.gzipThreshold);
  {
    std::lock_guard lock(_stopMutex);
    _stopping = false;
  }
  _nextIndex = 0;
  httplib::Server* listening = server.get();
  _thread = std::thread([listening] { listening->listen_after_bind(); });
  // stop() only reaches a server whose loop runs; the socket already listens meanwhile.
  auto deadline = Clock::now() + std::chrono::seconds(10);
  while (!listening->is_running() && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  _server = std::move(server);
  return true;
}

void ReferenceServer::stop() {
  if (!_server) return;
  {
    std::lock_guard lock(_stopMutex);
    _stopping = true;
  }
  _stopCondition.notify_all();
  _server->stop();
  _thread.join();
  _server.reset();
  _handler.reset();
  _ads.reset();
  _stats.reset();
}

bool ReferenceServer::pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(_stopMutex);
  return !_stopCondition.wait_for(lock, duration, [this] { return _stopping; });
}

void ReferenceServer::handle(const httplib::Request& request, httplib::Response& response) {
  ServerRequest made = makeRequest(request, _nextIndex++);
  FaultHook hook;
  {
    std::lock_guard lock(_hookMutex);
    hook = _hook;
  }
  ServerFault fault = hook ? hook(made) : ServerFault::none();
  bool ads = _ads && made.path.starts_with(AdsHandler::kPathPrefix);
  // The ad network's app-open conversion, taken as the network takes it, so that the program's
  // one-time report succeeds against this server.
  bool appOpen = made.path == kAppOpenPath;
  if ((ads || appOpen) && _configuration.logRequests) logParameters(request);
  ServerAnswer answer = fault.reshape(appOpen ? ServerAnswer::text(200, "OK\n")
                                      : ads   ? _ads->answer(made, request.remote_addr)
                                              : _handler->answer(made));
  ++_requestCount;
  if (_configuration.keepRequests)
    _log.append(
        RequestRecord{std::move(made), answer.status, answer.body.size(), answer.gzip, fault.kind});
  send(std::move(answer), fault, response);
}

void ReferenceServer::send(ServerAnswer answer, const ServerFault& fault,
                           httplib::Response& response) {
  response.status = answer.status;
  if (answer.gzip)
    response.set_header("Content-Encoding", std::string(AnswerEncoding::kGzipEncoding));
  if (fault.kind == ServerFault::Kind::Down) response.set_header("Connection", "close");
  if (answer.body.empty()) {
    response.set_content("", answer.contentType);
    return;
  }
  // Every body goes out through a provider with its length: it is sent as it is (httplib
  // compresses plain bodies for clients that accept gzip, which the protocol does not expect),
  // and the streaming faults can stop or pause it part way.
  auto body = std::make_shared<const platform::Bytes>(std::move(answer.body));
  bool truncate = fault.kind == ServerFault::Kind::Truncate;
  bool stall = fault.kind == ServerFault::Kind::Stall;
  size_t cut = truncate || stall ? fault.cut(body->size()) : body->size();
  auto stalled = std::make_shared<bool>(false);
  currentExchange.streamed = true;
  response.set_content_provider(
      body->size(), answer.contentType,
      [this, body, truncate, stall, cut, stalled, pauseFor = fault.pause](
          size_t offset, size_t length, httplib::DataSink& sink) {
        if (truncate && offset >= cut) return false;  // drops the connection
        if (stall && offset >= cut && !*stalled) {
          *stalled = true;
          if (!pause(pauseFor)) return false;
        }
        size_t limit = truncate || (stall && !*stalled) ? cut : body->size();
        size_t end = std::min(offset + length, limit);
        if (end <= offset) return true;
        if (!sink.write(reinterpret_cast<const char*>(body->data()) + offset, end - offset))
          return false;
        currentExchange.sent += end - offset;
        return true;
      });
}
