#include <gtest/gtest.h>
#include <poll.h>

#include <filesystem>

#include "Host/OffscreenHost.h"
#include "TestSupport.h"
#include "UI/MemoryPressureMonitor.h"
#include "UI/UIApplication.h"

using namespace platform;

namespace {

class WarnedDelegate : public UIApplicationDelegate {
 public:
  void applicationDidReceiveMemoryWarning(UIApplication&) override { ++warnings; }
  int warnings = 0;
};

TEST(MemoryPressureTest, KernelReportsBecomeMemoryWarningsAndNoPSIMeansNone) {
  UIApplication::sharedApplication().reset();
  OffscreenHost host;
  auto delegate = std::make_shared<WarnedDelegate>();
  host.launch(delegate);

  {
    testing_support::ConsoleCapture console;
    MemoryPressureMonitor missing("/nonexistent/pressure");
    EXPECT_FALSE(missing.isWatching());
  }
  MemoryPressureMonitor monitor;
  if (std::filesystem::exists("/proc/pressure/memory")) EXPECT_TRUE(monitor.isWatching());
  if (!monitor.isWatching()) GTEST_SKIP() << "this kernel offers no memory-pressure triggers";

  // Nothing to report: a turn of the loop raises nothing.
  RunLoop::main().runPending();
  EXPECT_EQ(delegate->warnings, 0);
  // The kernel's report is a priority event on the trigger.
  std::vector<pollfd> fds;
  monitor.prepare(fds);
  ASSERT_EQ(fds.size(), 1u);
  EXPECT_EQ(fds[0].events, POLLPRI);
  fds[0].revents = POLLPRI;
  EXPECT_TRUE(monitor.dispatch(fds.data(), 1, false));
  EXPECT_EQ(delegate->warnings, 1);
  // A trigger that breaks is dropped instead of waking the loop for ever.
  fds[0].revents = POLLERR;
  testing_support::ConsoleCapture console;
  EXPECT_FALSE(monitor.dispatch(fds.data(), 1, false));
  EXPECT_FALSE(monitor.isWatching());
  fds.clear();
  monitor.prepare(fds);
  EXPECT_TRUE(fds.empty());
  host.terminate();
  UIApplication::sharedApplication().reset();
}

}  // namespace
