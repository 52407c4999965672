#pragma once

#include <string>

#include "Foundation/Value.h"

// What the server answers to one request, before it goes out (and before any injected fault
// interferes with the sending).
struct ServerAnswer {
  int status = 200;
  std::string contentType;
  platform::Bytes body;
  bool gzip = false;  // sent with "Content-Encoding: application/gzip"

  static ServerAnswer text(int status, const std::string& message) {
    return ServerAnswer{status, "text/plain", platform::Bytes(message.begin(), message.end()),
                        false};
  }
  static ServerAnswer notFound() { return text(404, "not found\n"); }
};
