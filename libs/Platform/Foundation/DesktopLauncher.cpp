#include "Foundation/DesktopLauncher.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace platform {
namespace {

std::mutex hookMutex;

DesktopLauncher::Hook& installedHook() {
  static DesktopLauncher::Hook hook;
  return hook;
}

DesktopLauncher::Hook currentHook() {
  std::lock_guard lock(hookMutex);
  return installedHook();
}

bool isExecutableFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(path.c_str(), X_OK) == 0;
}

// The search list posix_spawnp uses: PATH, or the system's default when PATH is not set.
std::string searchPath() {
  if (const char* path = std::getenv("PATH")) return path;
  std::string fallback(confstr(_CS_PATH, nullptr, 0), '\0');
  if (!fallback.empty()) confstr(_CS_PATH, fallback.data(), fallback.size());
  fallback.resize(fallback.find('\0'));
  return fallback;
}

bool spawnDetached(const DesktopLauncher::Arguments& argv) {
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  // The child starts with no signals blocked and SIGPIPE at its default (an ignored SIGPIPE
  // would be inherited), and in a process group of its own: a Ctrl-C meant for this program
  // leaves the viewer or the mail client the user is looking at alone.
  sigset_t none, pipe;
  sigemptyset(&none);
  sigemptyset(&pipe);
  sigaddset(&pipe, SIGPIPE);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &pipe);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);
  pid_t pid = 0;
  int failed = posix_spawnp(&pid, args.front(), nullptr, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  if (failed) return false;
  std::thread([pid] {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace

bool DesktopLauncher::launch(const Arguments& argv) {
  if (argv.empty() || argv.front().empty()) return false;
  if (auto hook = currentHook()) return hook(argv);
  return spawnDetached(argv);
}

bool DesktopLauncher::isProgramOnPath(const std::string& program) {
  if (program.empty()) return false;
  if (program.find('/') != std::string::npos) return isExecutableFile(program);
  std::string path = searchPath();
  size_t start = 0;
  while (true) {
    size_t end = path.find(':', start);
    std::string dir =
        path.substr(start, end == std::string::npos ? std::string::npos : end - start);
    // An empty entry stands for the current directory, as the shell reads it.
    if (isExecutableFile((dir.empty() ? "." : dir) + "/" + program)) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

bool DesktopLauncher::canLaunch(const std::string& program) {
  return currentHook() != nullptr || isProgramOnPath(program);
}

bool DesktopLauncher::hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

DesktopLauncher::Hook DesktopLauncher::setHook(Hook hook) {
  std::lock_guard lock(hookMutex);
  std::swap(installedHook(), hook);
  return hook;
}

}  // namespace platform
