// Serves a catalogue folder over the content protocol until interrupted.
//
//   reference-server --catalog FOLDER [--host 127.0.0.1] [--port 8642] [--public-url URL]
//                    [--extra-node URL]... [--gzip-threshold BYTES]
//
// Exit status: 0 stopped by SIGINT or SIGTERM, 1 the catalogue could not be read or the
// address not bound, 2 bad arguments.
#include <signal.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "ReferenceServer.h"

namespace {

constexpr const char* kUsage =
    "usage: reference-server --catalog FOLDER [--host HOST] [--port PORT] [--public-url URL]\n"
    "                        [--extra-node URL]... [--gzip-threshold BYTES]\n"
    "\n"
    "Serves the catalogue that catalog-builder publishes in FOLDER: HOST:PORT/standard/ and\n"
    "HOST:PORT/tall/ each answer ?act=nodes, ?act=list[&dif=V] and ?act=get&ver=V&n=NAME for\n"
    "their screen kind. New versions are picked up as they are published.\n"
    "  --host            address to listen on (default 127.0.0.1, loopback only); all\n"
    "                    addresses (0.0.0.0) need --public-url\n"
    "  --port            port (default 8642; 0 picks a free one)\n"
    "  --public-url      root announced by ?act=nodes instead of http://HOST:PORT, for use\n"
    "                    behind a proxy (as http://content.example:80)\n"
    "  --extra-node      another root to announce in ?act=nodes (repeatable)\n"
    "  --gzip-threshold  JSON answers longer than this are gzip-compressed (default 1024)\n"
    "Each request is logged on standard output: UTC time, client address, method, target,\n"
    "status, bytes sent, time taken.\n";

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

bool parseNumber(const std::string& text, unsigned long long max, unsigned long long& value) {
  if (text.empty() || text[0] < '0' || text[0] > '9') return false;
  char* end = nullptr;
  errno = 0;
  value = std::strtoull(text.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && value <= max;
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceServer::Configuration configuration;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    bool hasValue = i + 1 < argc;
    unsigned long long number = 0;
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (argument == "--catalog" && hasValue) {
      configuration.catalogFolder = argv[++i];
    } else if (argument == "--host" && hasValue) {
      configuration.host = argv[++i];
    } else if (argument == "--port" && hasValue) {
      if (!parseNumber(argv[++i], 65535, number)) return usage();
      configuration.port = static_cast<int>(number);
    } else if (argument == "--public-url" && hasValue) {
      configuration.publicURL = argv[++i];
    } else if (argument == "--extra-node" && hasValue) {
      configuration.extraNodes.push_back(argv[++i]);
    } else if (argument == "--gzip-threshold" && hasValue) {
      if (!parseNumber(argv[++i], SIZE_MAX, number)) return usage();
      configuration.gzipThreshold = static_cast<size_t>(number);
    } else {
      return usage();
    }
  }
  if (configuration.catalogFolder.empty()) return usage();

  // Blocked before any server thread exists, so only sigwait below receives them.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  ReferenceServer server(configuration);
  std::string error;
  if (!server.start(error)) {
    std::fprintf(stderr, "reference-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("reference-server: serving %s at %s and %s\n", configuration.catalogFolder.c_str(),
              server.baseURL(ScreenKind::Standard).c_str(),
              server.baseURL(ScreenKind::Tall).c_str());
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  server.stop();
  return 0;
}
