// Start-up: the time from starting the `pictavia` process to its first frame presented in the
// window, the main screen's (under the fading launch picture), on the tall phone. Two app
// containers, each synced by `content-sync` from a reference server in this process: one with
// the sample pack, one with the sample pack and small cliparts up to 10,000 content files. The
// program runs against that server (`--server`), so its launch refreshes the catalogue as it
// would, and stops at its first frame (`--exit-after-first-frame`). The cases take turns, after
// one warm-up run each; prints the median, fastest and slowest of each and their ratio. Needs a
// display, for example:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/StartupBench [--runs 9]
//     [--files 10000]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "CatalogPublisher.h"
#include "Content/ContentControl.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/ImageEncoder.h"
#include "ReferenceServer.h"
#include "TestSupport.h"

using namespace platform;
namespace fs = std::filesystem;

namespace {

constexpr double kFirstFrameTimeout = 60;

// Runs a program to its end, its standard output dropped; its exit status, or -1 when it could
// not run.
int runProgram(std::vector<std::string> arguments) {
  pid_t child = fork();
  if (child == 0) {
    int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    std::vector<char*> argv;
    for (auto& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Seconds from starting `pictavia` to the line it prints at its first frame; -1 on failure.
double timeToFirstFrame(const std::string& container, const std::string& server) {
  int out[2];
  if (pipe(out) != 0) return -1;
  auto start = std::chrono::steady_clock::now();
  pid_t child = fork();
  if (child == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]), close(out[1]);
    execl(PICTAVIA_PATH, PICTAVIA_PATH, "--container", container.c_str(), "--server",
          server.c_str(), "--lang", "en", "--exit-after-first-frame", nullptr);
    _exit(127);
  }
  close(out[1]);
  std::string printed;
  double seconds = -1;
  pollfd wait{out[0], POLLIN, 0};
  while (child > 0 && poll(&wait, 1, static_cast<int>(kFirstFrameTimeout * 1000)) > 0) {
    char buffer[256];
    ssize_t count = read(out[0], buffer, sizeof buffer);
    if (count <= 0) break;
    printed.append(buffer, static_cast<size_t>(count));
    if (printed.find("first frame\n") != std::string::npos) {
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      break;
    }
  }
  close(out[0]);
  if (child > 0 && seconds < 0) kill(child, SIGKILL);
  int status = 0;
  if (child > 0) waitpid(child, &status, 0);
  return seconds >= 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? seconds : -1;
}

size_t contentFiles(const std::string& container) {
  std::error_code error;
  size_t count = 0;
  fs::path folder = fs::path(container) / "Library/Application Support" /
                    std::string(ContentControl::kContentFolderName);
  for (const auto& entry : fs::recursive_directory_iterator(folder, error))
    count += entry.is_regular_file();
  return count;
}

// Small cliparts for the tall screen (picture and thumbnail), each of its own colour.
void addCliparts(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    auto context = BitmapContext::create(8, 8, false);
    context->setFillColor((i % 7) / 7.0, (i % 11) / 11.0, (i % 13) / 13.0, 1);
    context->fillRect(Rect(0, 0, 8, 8));
    auto png = ImageEncoder::pngData(*context->makeImage());
    for (const char* variant : {"_iph5.png", "_small.png"}) {
      std::ofstream file(folder + "/clipart" + std::to_string(100000 + i) + variant,
                         std::ios::binary);
      file.write(reinterpret_cast<const char*>(png->data()),
                 static_cast<std::streamsize>(png->size()));
    }
  }
}

struct Case {
  std::string name;
  testing_support::TemporaryDirectory source, catalog, container;
  std::unique_ptr<ReferenceServer> server;
  size_t files = 0;
  std::vector<double> times;

  // Publishes the source folder, serves it and syncs the container from it.
  bool prepare() {
    std::string error;
    if (!CatalogPublisher::publish(source.path(), catalog.path(), error)) {
      std::fprintf(stderr, "StartupBench: %s\n", error.c_str());
      return false;
    }
    ReferenceServer::Configuration configuration;
    configuration.catalogFolder = catalog.path();
    configuration.port = 0;
    configuration.logRequests = false;
    server = std::make_unique<ReferenceServer>(configuration);
    if (!server->start(error)) {
      std::fprintf(stderr, "StartupBench: %s\n", error.c_str());
      return false;
    }
    int status = runProgram({CONTENT_SYNC_PATH, "--container", container.path(), "--directory",
                             server->baseURL(ScreenKind::Tall), "--profile", "phone-4",
                             "--time-limit", "1200", "--quiet"});
    files = contentFiles(container.path());
    if (status != 0) std::fprintf(stderr, "StartupBench: content-sync exited with %d\n", status);
    return status == 0;
  }
};

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 9;
  int target = 10000;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::max(1, std::atoi(argv[++i]));
    } else if (std::strcmp(argv[i], "--files") == 0 && i + 1 < argc) {
      target = std::max(0, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr, "usage: StartupBench [--runs N] [--files N]\n");
      return 2;
    }
  }
  if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
    std::printf("StartupBench: needs a display (run it under xvfb-run); skipped\n");
    return 0;
  }

  Case sample, large;
  sample.name = "sample pack";
  fs::copy(CONTENT_PACK_DIR, sample.source.path(), fs::copy_options::recursive);
  if (!sample.prepare()) return 1;
  fs::copy(CONTENT_PACK_DIR, large.source.path(), fs::copy_options::recursive);
  int extra = static_cast<int>((std::max<long>(0, target - long(sample.files)) + 1) / 2);
  addCliparts(large.source.path(), extra);
  large.name = std::to_string(target) + " files";
  if (!large.prepare()) return 1;

  std::vector<Case*> cases{&sample, &large};
  for (Case* c : cases) {
    if (timeToFirstFrame(c->container.path(), c->server->rootURL()) < 0) {
      std::fprintf(stderr, "StartupBench: pictavia showed no first frame (%s)\n", c->name.c_str());
      return 1;
    }
  }
  for (int run = 0; run < runs; ++run)
    for (Case* c : cases) {
      double seconds = timeToFirstFrame(c->container.path(), c->server->rootURL());
      if (seconds < 0) {
        std::fprintf(stderr, "StartupBench: a run failed (%s)\n", c->name.c_str());
        return 1;
      }
      c->times.push_back(seconds);
    }

  std::printf("process start to the first frame, %d runs each (goal: under 0.5 s)\n", runs);
  for (Case* c : cases) {
    auto [fastest, slowest] = std::minmax_element(c->times.begin(), c->times.end());
    std::printf("  %-12s %6zu content files: median %.3f s, fastest %.3f s, slowest %.3f s\n",
                c->name.c_str(), c->files, median(c->times), *fastest, *slowest);
  }
  std::printf("  ratio %s / %s: %.2f\n", large.name.c_str(), sample.name.c_str(),
              median(large.times) / median(sample.times));
  return 0;
}
