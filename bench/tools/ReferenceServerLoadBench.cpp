// The reference server under load, against nginx serving the catalogue builder's static export
// of the same catalogue (the sample pack). 50 clients on loopback each run full syncs of the
// tall screen's catalogue (server list, full list, every file of the list) one after another,
// over kept-alive connections, for a bounded time and number of requests. Reported per server:
// requests a second (all and file answers), median and 99th-percentile latency, and the server
// process's peak memory with its growth over the second half of the run.
//
//   ReferenceServerLoadBench [--seconds S]   (default 30 per server; nginx from $PATH or
//                                             /usr/sbin; skipped when it is missing)
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <httplib.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "CatalogPublisher.h"
#include "Content/Compression.h"
#include "Foundation/JSONSerialization.h"
#include "StaticExport.h"
#include "TestSupport.h"

namespace {

constexpr int kClients = 50;
constexpr size_t kMaxRequestsPerClient = 200000;
double runSeconds = 30;

using Clock = std::chrono::steady_clock;

bool answers(int port) {
  httplib::Client client("127.0.0.1", port);
  client.set_connection_timeout(0, 200000);
  auto result = client.Get("/tall/?act=nodes");
  return result && result->status == 200;
}

// Kibibytes of a /proc/PID/status field ("VmHWM", "VmRSS"); 0 when unreadable.
long statusKiB(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
  }
  return 0;
}

// The process and its children (nginx's workers).
std::vector<pid_t> processTree(pid_t root) {
  std::vector<pid_t> tree{root};
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::string name = entry.path().filename();
    if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0]))) continue;
    std::ifstream status(entry.path() / "status");
    std::string line;
    while (std::getline(status, line)) {
      if (line.rfind("PPid:", 0) == 0) {
        if (std::atoi(line.c_str() + 5) == root) tree.push_back(std::stoi(name));
        break;
      }
    }
  }
  return tree;
}

long treeKiB(pid_t root, const std::string& field) {
  long total = 0;
  for (pid_t pid : processTree(root)) total += statusKiB(pid, field);
  return total;
}

pid_t spawn(const std::vector<std::string>& arguments) {
  pid_t child = fork();
  if (child == 0) {
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, 1);
    dup2(quiet, 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

void stop(pid_t child) {
  if (child <= 0) return;
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
}

// The sample pack, published and exported once for both servers.
struct Catalogue {
  testing_support::TemporaryDirectory folder;
  std::string catalog = folder.file("catalog");
  std::string exported = folder.file("export");
  std::vector<std::string> fileTargets;  // "?act=get&ver=V&n=NAME" for the tall list
  bool ready = false;

  Catalogue() {
    std::string error;
    if (!CatalogPublisher::publish(CONTENT_PACK_DIR, catalog, error)) {
      std::fprintf(stderr, "publish: %s\n", error.c_str());
      return;
    }
    StaticExport::Options options;
    options.baseURL = "http://127.0.0.1:1";  // the list's files are asked by relative target
    if (!StaticExport::write(catalog, exported, options, error)) {
      std::fprintf(stderr, "export: %s\n", error.c_str());
      return;
    }
    ready = true;
  }

  // The tall list's files, read from a running server's full list.
  bool learnFiles(int port) {
    httplib::Client client("127.0.0.1", port);
    client.set_decompress(false);
    auto list = client.Get("/tall/?act=list");
    if (!list || list->status != 200) return false;
    platform::Bytes body(list->body.begin(), list->body.end());
    if (list->get_header_value("Content-Encoding") == "application/gzip") {
      auto inflated = Compression::gzipInflate(body);
      if (!inflated) return false;
      body = *inflated;
    }
    auto value = platform::JSONSerialization::JSONObjectWithData(body);
    const platform::Dictionary* answer = value ? value->dictionary() : nullptr;
    if (!answer) return false;
    std::string ver = *platform::valueForKey(*answer, "ver").string();
    fileTargets.clear();
    for (const auto& name : *platform::valueForKey(*answer, "curList").array())
      fileTargets.push_back("/tall/?act=get&ver=" + ver + "&n=" + *name.string());
    return !fileTargets.empty();
  }
};

Catalogue& catalogue() {
  static Catalogue shared;
  return shared;
}

struct Outcome {
  size_t requests = 0;
  size_t files = 0;
  size_t failures = 0;
  std::vector<double> latencies;  // milliseconds
};

// kClients clients, each running full syncs until the time or its request budget runs out.
Outcome load(int port, pid_t server, long& peakKiB, long& growthKiB) {
  const Catalogue& shared = catalogue();
  std::vector<Outcome> outcomes(kClients);
  auto deadline = Clock::now() + std::chrono::duration<double>(runSeconds);
  std::vector<std::thread> clients;
  for (int c = 0; c < kClients; ++c) {
    clients.emplace_back([&, c] {
      Outcome& outcome = outcomes[c];
      httplib::Client client("127.0.0.1", port);
      client.set_keep_alive(true);
      client.set_decompress(false);
      client.set_read_timeout(10, 0);
      auto ask = [&](const std::string& target, bool file) {
        auto start = Clock::now();
        auto result = client.Get(target.c_str());
        outcome.latencies.push_back(
            std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        ++outcome.requests;
        outcome.files += file;
        if (!result || result->status != 200) ++outcome.failures;
      };
      while (Clock::now() < deadline && outcome.requests < kMaxRequestsPerClient) {
        ask("/tall/?act=nodes", false);
        ask("/tall/?act=list", false);
        for (const std::string& target : shared.fileTargets) {
          if (Clock::now() >= deadline) break;
          ask(target, true);
        }
      }
    });
  }
  // Memory half way and at the end: a server whose memory follows the requests grows between.
  std::this_thread::sleep_for(std::chrono::duration<double>(runSeconds / 2));
  long halfway = treeKiB(server, "VmRSS");
  for (auto& thread : clients) thread.join();
  long end = treeKiB(server, "VmRSS");
  peakKiB = treeKiB(server, "VmHWM");
  growthKiB = end - halfway;
  Outcome total;
  for (Outcome& outcome : outcomes) {
    total.requests += outcome.requests;
    total.files += outcome.files;
    total.failures += outcome.failures;
    total.latencies.insert(total.latencies.end(), outcome.latencies.begin(),
                           outcome.latencies.end());
  }
  std::sort(total.latencies.begin(), total.latencies.end());
  return total;
}

void report(benchmark::State& state, const Outcome& outcome, double seconds, long peakKiB,
            long growthKiB) {
  auto percentile = [&](double p) {
    return outcome.latencies.empty()
               ? 0
               : outcome.latencies[static_cast<size_t>(p * (outcome.latencies.size() - 1))];
  };
  state.counters["requests_per_s"] = static_cast<double>(outcome.requests) / seconds;
  state.counters["file_answers_per_s"] = static_cast<double>(outcome.files) / seconds;
  state.counters["p50_ms"] = percentile(0.5);
  state.counters["p99_ms"] = percentile(0.99);
  state.counters["failures"] = static_cast<double>(outcome.failures);
  state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024;
  state.counters["second_half_growth_MiB"] = static_cast<double>(growthKiB) / 1024;
}

void runAgainst(benchmark::State& state, const std::vector<std::string>& command, int port) {
  Catalogue& shared = catalogue();
  if (!shared.ready) {
    state.SkipWithError("the sample pack could not be published or exported");
    return;
  }
  pid_t server = spawn(command);
  for (int i = 0; i < 500 && !answers(port); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  if (!answers(port) || !shared.learnFiles(port)) {
    stop(server);
    state.SkipWithError("the server did not answer");
    return;
  }
  for (auto _ : state) {
    long peak = 0, growth = 0;
    auto start = Clock::now();
    Outcome outcome = load(port, server, peak, growth);
    double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    report(state, outcome, seconds, peak, growth);
  }
  stop(server);
}

void BM_ReferenceServer(benchmark::State& state) {
  int port = testing_support::freeLoopbackPort();
  runAgainst(
      state,
      {REFERENCE_SERVER_PATH, "--catalog", catalogue().catalog, "--port", std::to_string(port)},
      port);
}

std::string nginxPath() {
  for (const char* candidate : {"/usr/sbin/nginx", "/usr/local/sbin/nginx"}) {
    if (access(candidate, X_OK) == 0) return candidate;
  }
  return std::system("command -v nginx >/dev/null 2>&1") == 0 ? "nginx" : "";
}

// nginx with the export's own sample configuration, on loopback, as root's own user so that it
// reads the temporary export; no access log (our server logs nothing here either).
void BM_Nginx(benchmark::State& state) {
  std::string nginx = nginxPath();
  if (nginx.empty()) {
    state.SkipWithError("nginx is not installed (Debian: nginx-light)");
    return;
  }
  Catalogue& shared = catalogue();
  int port = testing_support::freeLoopbackPort();
  std::string prefix = shared.folder.file("nginx");
  std::filesystem::create_directories(prefix + "/temp");
  std::stringstream sample;
  sample << std::ifstream(shared.exported + "/" + StaticExport::kNginxConfigName).rdbuf();
  std::string server = sample.str();
  server.replace(server.find("listen 8642;"), 12, "listen 127.0.0.1:" + std::to_string(port) + ";");
  std::ofstream(prefix + "/nginx.conf")
      << "daemon off;\nmaster_process on;\nworker_processes auto;\n"
      << (geteuid() == 0 ? "user root;\n" : "") << "pid " << prefix << "/nginx.pid;\nerror_log "
      << prefix
      << "/error.log;\nevents { worker_connections 1024; }\nhttp {\n  access_log off;\n  sendfile "
         "on;\n"
      << "  keepalive_requests 100000;\n  client_body_temp_path " << prefix
      << "/temp;\n  proxy_temp_path " << prefix << "/temp;\n  fastcgi_temp_path " << prefix
      << "/temp;\n  uwsgi_temp_path " << prefix << "/temp;\n  scgi_temp_path " << prefix
      << "/temp;\n"
      << server << "\n}\n";
  runAgainst(state, {nginx, "-p", prefix, "-c", prefix + "/nginx.conf"}, port);
}

}  // namespace

BENCHMARK(BM_ReferenceServer)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Nginx)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::string(argv[i]) == "--seconds") {
      runSeconds = std::max(1.0, std::atof(argv[i + 1]));
      for (int j = i; j + 2 <= argc; ++j) argv[j] = argv[j + 2];
      argc -= 2;
      break;
    }
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
