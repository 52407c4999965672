#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>
#include <string>

namespace catalog_testing {

// A plain socket speaking just enough HTTP/1.1 to see what a server sends byte by byte,
// including answers that stop early, which HTTP clients hide behind an error.
class RawHTTP {
 public:
  // `headers`, when given, replaces the end of the request head: the request stays open.
  RawHTTP(int port, const std::string& target, const std::string& headers = "\r\n") {
    _fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    setTimeout(10000);  // a safety net only: a broken server fails the test instead of hanging it
    if (connect(_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      close(_fd);
      _fd = -1;
      return;
    }
    sendText("GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + headers);
  }
  void sendText(const std::string& text) {
    (void)::send(_fd, text.data(), text.size(), MSG_NOSIGNAL);
  }
  ~RawHTTP() {
    if (_fd >= 0) close(_fd);
  }
  RawHTTP(const RawHTTP&) = delete;
  RawHTTP& operator=(const RawHTTP&) = delete;

  bool connected() const { return _fd >= 0; }
  void setTimeout(int milliseconds) {
    timeval timeout{milliseconds / 1000, (milliseconds % 1000) * 1000};
    setsockopt(_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  }

  // Reads until the headers and at least `bodyBytes` of the body arrived, or the connection
  // ended or timed out. Returns whether that many arrived.
  bool readBody(size_t bodyBytes) {
    while (!headersComplete() || body().size() < bodyBytes) {
      if (!readSome()) return false;
    }
    return true;
  }
  // Reads until the server closes the connection; false when the read timed out instead.
  bool readToEnd() {
    while (readSome()) {
    }
    return _closed;
  }
  // One read; false when nothing more came (closed, or the timeout passed).
  bool readSome() {
    char buffer[4096];
    ssize_t count = recv(_fd, buffer, sizeof buffer, 0);
    if (count == 0) _closed = true;
    if (count <= 0) return false;
    _received.append(buffer, static_cast<size_t>(count));
    return true;
  }

  bool closed() const { return _closed; }
  bool headersComplete() const { return _received.find("\r\n\r\n") != std::string::npos; }
  int status() const {
    return _received.size() > 12 ? std::atoi(_received.substr(9, 3).c_str()) : 0;
  }
  // A header's value by its name in any case; nothing when absent.
  std::optional<std::string> header(std::string name) const {
    std::string head = lower(_received.substr(0, _received.find("\r\n\r\n")));
    name = "\r\n" + lower(name) + ":";
    size_t at = head.find(name);
    if (at == std::string::npos) return std::nullopt;
    size_t start = at + name.size();
    size_t end = head.find("\r\n", start);
    std::string value = _received.substr(start, end - start);
    value.erase(0, value.find_first_not_of(' '));
    return value;
  }
  std::string body() const {
    size_t end = _received.find("\r\n\r\n");
    return end == std::string::npos ? "" : _received.substr(end + 4);
  }

 private:
  static std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
  }

  int _fd = -1;
  bool _closed = false;
  std::string _received;
};

}  // namespace catalog_testing
