#pragma once

#include <chrono>

#include "ServerAnswer.h"

// A failure the reference server plays instead of its normal answer, chosen per request by a
// test's fault hook.
struct ServerFault {
  enum class Kind {
    None,            // the normal answer
    Status,          // `status` with a short text body (500, 404, ...)
    Down,            // 503 and "Connection: close", as a server taken out of service
    Truncate,        // the full Content-Length announced, `fraction` of the body, then the
                     // connection closes; fraction 0 closes right after the headers
    Stall,           // `fraction` of the body, then nothing for `pause`, then the rest
                     // (the connection drops instead if the server stops meanwhile)
    InvalidJSON,     // 200 "application/json" with text that does not parse
    WrongShapeJSON,  // 200 "application/json" that parses but is no catalogue answer
  };

  Kind kind = Kind::None;
  int status = 500;
  double fraction = 0.5;
  std::chrono::milliseconds pause{0};

  static ServerFault none() { return {}; }
  static ServerFault withStatus(int status) { return {Kind::Status, status}; }
  static ServerFault down() { return {Kind::Down, 503}; }
  static ServerFault truncate(double fraction = 0.5) { return {Kind::Truncate, 200, fraction}; }
  static ServerFault stall(std::chrono::milliseconds pause, double fraction = 0.5) {
    return {Kind::Stall, 200, fraction, pause};
  }
  static ServerFault invalidJSON() { return {Kind::InvalidJSON}; }
  static ServerFault wrongShapeJSON() { return {Kind::WrongShapeJSON}; }

  // The answer this fault replaces `normal` with; the streaming faults (Truncate, Stall) keep
  // it and act while it is sent.
  ServerAnswer reshape(ServerAnswer normal) const;
  // How many bytes of a body of `size` go out before the drop or the pause.
  size_t cut(size_t size) const;
};
