#include "Foundation/Console.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace platform {
namespace {

std::mutex& consoleMutex() {
  static std::mutex mutex;
  return mutex;
}

Console::Sink& currentSink() {
  static Console::Sink sink;
  return sink;
}

void writeStamped(std::string_view message) {
  using namespace std::chrono;
  auto now = system_clock::now();
  std::time_t seconds = system_clock::to_time_t(now);
  auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
  localtime_r(&seconds, &local);
  char stamp[32];
  std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H:%M:%S", &local);
  std::fprintf(stderr, "%s.%03lld Pictavia[%d:%ld] %.*s\n", stamp, static_cast<long long>(millis),
               static_cast<int>(getpid()), static_cast<long>(syscall(SYS_gettid)),
               static_cast<int>(message.size()), message.data());
}

}  // namespace

void Console::log(std::string_view message) {
  std::lock_guard lock(consoleMutex());
  if (currentSink()) {
    currentSink()(message);
  } else {
    writeStamped(message);
  }
}

void Console::logf(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int length = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (length < 0) return;
  if (static_cast<size_t>(length) < sizeof buffer) {
    log(std::string_view(buffer, length));
    return;
  }
  std::string large(static_cast<size_t>(length) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(large.data(), large.size(), format, args);
  va_end(args);
  large.resize(static_cast<size_t>(length));
  log(large);
}

Console::Sink Console::setSink(Sink sink) {
  std::lock_guard lock(consoleMutex());
  Sink previous = std::move(currentSink());
  currentSink() = std::move(sink);
  return previous;
}

}  // namespace platform
