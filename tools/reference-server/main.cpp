// Serves a catalogue folder over the content protocol until interrupted.
//
//   reference-server --catalog FOLDER [--host 127.0.0.1] [--port 8642] [--public-url URL]
//                    [--extra-node URL]... [--gzip-threshold BYTES]
//                    [--ads FOLDER [--stats FILE]]
//   reference-server --list-reports (--stats FILE | --ads FOLDER)
//
// Exit status: 0 stopped by SIGINT or SIGTERM, 1 the catalogue could not be read or the
// address not bound, 2 bad arguments.
#include <signal.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ReferenceServer.h"

namespace {

constexpr const char* kUsage =
    "usage: reference-server --catalog FOLDER [--host HOST] [--port PORT] [--public-url URL]\n"
    "                        [--extra-node URL]... [--gzip-threshold BYTES]\n"
    "                        [--ads FOLDER [--stats FILE]]\n"
    "       reference-server --list-reports (--stats FILE | --ads FOLDER)\n"
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
    "  --ads             serve the house ads of FOLDER under HOST:PORT/ads/: version.php,\n"
    "                    info.php (FOLDER/feed.xml, with %SERVER% replaced by the root URL),\n"
    "                    icons/NAME (FOLDER/icons) and stats.php, which accepts only reports\n"
    "                    signed with the application's salt and stores them\n"
    "  --stats           the SQLite file for accepted reports (default FOLDER/stats.sqlite)\n"
    "  --list-reports    print the stored reports, one a line, oldest first, and exit\n"
    "Each request is logged on standard output: UTC time, client address, method, target,\n"
    "status, bytes sent, time taken; the parameters of ads requests on a line before it.\n";

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

// "1 2026-12-07T03:10:00.123Z 127.0.0.1 action=click advert_id=…", parameters in the order
// they were sent. Exit status 1 when the store cannot be opened.
int printReports(const std::string& path) {
  std::string error;
  if (!std::filesystem::exists(path)) {
    std::fprintf(stderr, "reference-server: %s: no such file\n", path.c_str());
    return 1;
  }
  auto store = StatsStore::open(path, error);
  if (!store) {
    std::fprintf(stderr, "reference-server: %s\n", error.c_str());
    return 1;
  }
  for (const auto& report : store->reports()) {
    std::printf("%lld %s %s", report.id, report.receivedAt.c_str(), report.remoteAddress.c_str());
    for (const auto& [key, value] : report.parameters)
      std::printf(" %s=%s", key.c_str(), value.c_str());
    std::printf("\n");
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  ReferenceServer::Configuration configuration;
  bool listReports = false;
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
    } else if (argument == "--ads" && hasValue) {
      configuration.adsFolder = argv[++i];
    } else if (argument == "--stats" && hasValue) {
      configuration.statsDatabase = argv[++i];
    } else if (argument == "--list-reports") {
      listReports = true;
    } else {
      return usage();
    }
  }
  if (listReports) {
    if (configuration.statsDatabase.empty() && configuration.adsFolder.empty()) return usage();
    return printReports(configuration.statsDatabase.empty()
                            ? configuration.adsFolder + "/stats.sqlite"
                            : configuration.statsDatabase);
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
  if (!configuration.adsFolder.empty())
    std::printf("reference-server: serving the ads of %s at %s/ads/\n",
                configuration.adsFolder.c_str(), server.rootURL().c_str());
  std::fflush(stdout);
  int received = 0;
  sigwait(&signals, &received);
  server.stop();
  return 0;
}
