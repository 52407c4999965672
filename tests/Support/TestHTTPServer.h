#pragma once

#include <httplib.h>

#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>

// A cpp-httplib server on a free loopback port, running on its own threads for one test.
// Register handlers on server() first, then start(); the destructor stops it.
class TestHTTPServer {
 public:
  TestHTTPServer() = default;
  ~TestHTTPServer() { stop(); }
  TestHTTPServer(const TestHTTPServer&) = delete;
  TestHTTPServer& operator=(const TestHTTPServer&) = delete;

  httplib::Server& server() { return _server; }

  void start() {
    // Each connection serves one request, so that stopping never waits on an idle client.
    _server.set_keep_alive_max_count(1);
    _port = _server.bind_to_any_port("127.0.0.1");
    if (_port <= 0) throw std::runtime_error("cannot bind a loopback port");
    // The socket already listens, so clients may connect before the accept loop runs.
    _thread = std::thread([this] { _server.listen_after_bind(); });
  }

  void stop() {
    if (!_thread.joinable()) return;
    _server.stop();
    _thread.join();
  }

  int port() const { return _port; }
  std::string url(std::string_view pathAndQuery = "/") const {
    return "http://127.0.0.1:" + std::to_string(_port) + std::string(pathAndQuery);
  }

 private:
  httplib::Server _server;
  std::thread _thread;
  int _port = 0;
};
