// Download throughput: 1,000 files of 20 KiB from a loopback server, fetched through the
// download conveyor in groups of two, against curl's command-line tool fetching the same URLs
// with at most three transfers in parallel. Prints the ratio of the two throughputs.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "Content/ContentDownloadConveyor.h"
#include "Content/ContentServiceRequest.h"
#include "Foundation/RunLoop.h"
#include "TestHTTPServer.h"
#include "TestSupport.h"

namespace {

constexpr int kFiles = 1000;
constexpr size_t kFileSize = 20 * 1024;
constexpr int kGroupSize = 2;

double conveyorSeconds = 0;
double curlSeconds = 0;

std::string fileName(int i) {
  return "clipart" + std::to_string(i / kGroupSize) + (i % kGroupSize ? "_small.png" : ".png");
}

class Server {
 public:
  Server() : _body(kFileSize, 'x') {
    _http.server().Get("/c", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(_body, "application/octet-stream");
    });
    _http.start();
  }
  std::string base() const { return _http.url("/c"); }

 private:
  TestHTTPServer _http;
  std::string _body;
};

Server& server() {
  static Server* shared = new Server();
  return *shared;
}

void BM_Conveyor(benchmark::State& state) {
  std::string base = server().base();
  for (auto _ : state) {
    auto conveyor = std::make_shared<ContentDownloadConveyor>();
    size_t received = 0;
    for (int group = 0; group < kFiles / kGroupSize; ++group) {
      std::vector<std::shared_ptr<DispatchTask>> tasks;
      for (int i = group * kGroupSize; i < (group + 1) * kGroupSize; ++i) {
        tasks.push_back(ContentServiceRequest::RequestGetWithVersion(
            "1", fileName(i), base, [&received](DispatchTask& t) {
              auto& request = static_cast<ContentServiceRequest&>(t);
              if (request.data()) received += request.data()->size();
            }));
      }
      conveyor->addDownloadGroup(std::move(tasks), ContentTypeClipart, nullptr);
    }
    conveyor->startConveyor();
    if (!platform::RunLoop::main().runUntil([&] { return !conveyor->isRuning(); }, 120) ||
        received != kFiles * kFileSize) {
      state.SkipWithError("the conveyor did not fetch every file");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * kFiles * static_cast<int64_t>(kFileSize));
}

void BM_CurlCommandLine(benchmark::State& state) {
  testing_support::TemporaryDirectory directory;
  std::string config = directory.file("urls.conf");
  {
    std::ofstream out(config);
    for (int i = 0; i < kFiles; ++i)
      out << "url = \"" << server().base() << "?act=get&ver=1&n=" << fileName(i)
          << "\"\noutput = \"/dev/null\"\n";
  }
  std::string command =
      "curl --silent --no-progress-meter --fail --parallel --parallel-max 3 --config " + config;
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) {
      state.SkipWithError("curl failed (is the curl command installed?)");
      return;
    }
  }
  state.SetBytesProcessed(state.iterations() * kFiles * static_cast<int64_t>(kFileSize));
}

// Records the mean wall time per run of each benchmark for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred || run.iterations == 0) continue;
      double seconds = run.real_accumulated_time / static_cast<double>(run.iterations);
      if (run.benchmark_name().rfind("BM_Conveyor", 0) == 0) conveyorSeconds = seconds;
      if (run.benchmark_name().rfind("BM_CurlCommandLine", 0) == 0) curlSeconds = seconds;
    }
    ConsoleReporter::ReportRuns(runs);
  }
};

}  // namespace

BENCHMARK(BM_Conveyor)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_CurlCommandLine)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (conveyorSeconds > 0 && curlSeconds > 0)
    std::printf("conveyor throughput / curl throughput = %.2f\n", curlSeconds / conveyorSeconds);
  benchmark::Shutdown();
  return 0;
}
