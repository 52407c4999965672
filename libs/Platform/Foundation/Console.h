#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace platform {

// The console log: one line per message on standard error, stamped like the phone's console
// ("2026-12-06 08:44:45.123 Pictavia[pid:tid] message"). Safe from any thread.
class Console {
 public:
  using Sink = std::function<void(std::string_view message)>;

  static void log(std::string_view message);
  static void logf(const char* format, ...) __attribute__((format(printf, 1, 2)));

  // Routes messages (without the stamp) to `sink` instead of standard error; an empty sink
  // restores standard error. Returns the previous sink. For tests and hosts.
  static Sink setSink(Sink sink);
};

}  // namespace platform
