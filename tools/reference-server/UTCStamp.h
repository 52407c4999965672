#pragma once

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

// The current time as "2026-12-07T10:15:02.123Z": request log lines and stored reports.
inline std::string utcStamp() {
  auto now = std::chrono::system_clock::now();
  std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm utc{};
  gmtime_r(&seconds, &utc);
  char stamp[40];
  size_t length = std::strftime(stamp, sizeof stamp, "%Y-%m-%dT%H:%M:%S", &utc);
  std::snprintf(stamp + length, sizeof stamp - length, ".%03dZ", static_cast<int>(millis));
  return stamp;
}
