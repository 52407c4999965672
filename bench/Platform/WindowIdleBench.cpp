// CPU time a window takes over some seconds (10 by default): idle on a screen of controls, and
// showing only a spinning activity indicator; each with the host as it is and with full frames
// (the whole screen composited and presented for any change, looked for 60 times a second, as
// the host first did), in that order, one process per case. Needs a display, for example:
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bench/WindowIdleBench [--seconds 10]
// Only this process's time is counted, not the display server's.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "Host/WindowHost.h"
#include "UI/UIActivityIndicatorView.h"
#include "UI/UIApplication.h"
#include "UI/UIButton.h"
#include "UI/UILabel.h"
#include "UI/UIScreen.h"
#include "UI/UIWindow.h"

using namespace platform;

namespace {

constexpr double kWarmUp = 1;

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
         usage.ru_stime.tv_usec / 1e6;
}

class BenchDelegate : public UIApplicationDelegate {
 public:
  explicit BenchDelegate(bool spinner) : _spinner(spinner) {}
  bool applicationDidFinishLaunching(UIApplication&, const Dictionary&) override {
    _window = std::make_shared<UIWindow>(UIScreen::mainScreen().bounds());
    _window->setBackgroundColor(UIColor::colorWithWhite(0.85, 1));
    Rect b = _window->bounds();
    if (_spinner) {
      auto spinner =
          std::make_shared<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::WhiteLarge);
      spinner->setCenter(Point{b.midX(), b.midY()});
      spinner->setBackgroundColor(UIColor::colorWithWhite(0.3, 1));
      _window->addSubview(spinner);
      spinner->startAnimating();
    } else {
      for (int row = 0; row < 8; ++row) {
        auto bar = std::make_shared<UIView>(Rect(10, 30 + row * 64, b.size.width - 20, 56));
        bar->setBackgroundColor(UIColor::whiteColor());
        bar->layer().setCornerRadius(8);
        auto label = std::make_shared<UILabel>(Rect(12, 16, 160, 24));
        label->setText("Row " + std::to_string(row + 1));
        bar->addSubview(label);
        auto button = UIButton::buttonWithType(UIButtonType::RoundedRect);
        button->setFrame(Rect(b.size.width - 110, 10, 80, 36));
        button->setTitle("Open", UIControlStateNormal);
        bar->addSubview(button);
        _window->addSubview(bar);
      }
    }
    _window->makeKeyAndVisible();
    return true;
  }

 private:
  bool _spinner;
  std::shared_ptr<UIWindow> _window;
};

// One case in this process: prints "cpu-seconds frames pixels".
int runCase(bool spinner, bool fullFrames, double seconds) {
  WindowHost::Options options;
  options.title = "WindowIdleBench";
  options.quitAfter = kWarmUp + seconds + 0.05;
  options.fullFrames = fullFrames;
  WindowHost host(DeviceProfile::phoneTall(), options);
  double cpuAtStart = 0, cpu = 0;
  long framesAtStart = 0, frames = 0;
  double pixelsAtStart = 0, pixels = 0;
  RunLoop::main().schedule(kWarmUp, [&] {
    cpuAtStart = cpuSeconds();
    framesAtStart = host.framesPresented();
    pixelsAtStart = host.pixelsPresented();
  });
  RunLoop::main().schedule(kWarmUp + seconds, [&] {
    cpu = cpuSeconds() - cpuAtStart;
    frames = host.framesPresented() - framesAtStart;
    pixels = host.pixelsPresented() - pixelsAtStart;
  });
  int status = host.run(std::make_shared<BenchDelegate>(spinner));
  if (status != 0) return status;
  std::printf("%.4f %ld %.0f\n", cpu, frames, pixels);
  return 0;
}

struct Result {
  double cpu = 0;
  long frames = 0;
  double pixels = 0;
  bool ok = false;
};

Result runChild(const char* self, const char* which, bool full, double seconds) {
  int out[2];
  Result result;
  if (pipe(out) != 0) return result;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    close(out[0]);
    close(out[1]);
    std::string s = std::to_string(seconds);
    execl(self, self, "--case", which, full ? "full" : "changes", "--seconds", s.c_str(),
          static_cast<char*>(nullptr));
    _exit(127);
  }
  close(out[1]);
  std::string text;
  char buffer[256];
  ssize_t n;
  while ((n = read(out[0], buffer, sizeof buffer)) > 0) text.append(buffer, n);
  close(out[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
      std::sscanf(text.c_str(), "%lf %ld %lf", &result.cpu, &result.frames, &result.pixels) == 3)
    result.ok = true;
  return result;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 10;
  const char* which = nullptr;
  bool full = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) {
      seconds = std::atof(argv[++i]);
    } else if (arg == "--case" && i + 2 < argc) {
      which = argv[++i];
      full = std::strcmp(argv[++i], "full") == 0;
    } else {
      std::fprintf(stderr, "usage: WindowIdleBench [--seconds N]\n");
      return 2;
    }
  }
  if (!(seconds > 0)) seconds = 10;
  if (which) return runCase(std::strcmp(which, "spinner") == 0, full, seconds);

  const char* self = "/proc/self/exe";
  double screenPixels = 640.0 * 1136;
  std::printf("%-8s %-8s %10s %8s %14s\n", "screen", "frames", "CPU %core", "frames",
              "screens drawn");
  Result results[2][2];
  for (int s = 0; s < 2; ++s) {
    for (int f = 0; f < 2; ++f) {
      const char* name = s ? "spinner" : "idle";
      Result r = runChild(self, name, f == 1, seconds);
      results[s][f] = r;
      if (!r.ok) {
        std::printf("%-8s %-8s failed (no display?)\n", name, f ? "full" : "changes");
        continue;
      }
      std::printf("%-8s %-8s %10.2f %8ld %14.1f\n", name, f ? "full" : "changes",
                  100 * r.cpu / seconds, r.frames, r.pixels / screenPixels);
    }
  }
  for (int s = 0; s < 2; ++s)
    if (results[s][0].ok && results[s][1].ok && results[s][1].cpu > 0)
      std::printf("%s: changes-only / full frames CPU = %.3f\n", s ? "spinner" : "idle",
                  results[s][0].cpu / results[s][1].cpu);
  return 0;
}
