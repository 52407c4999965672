#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "Foundation/DesktopLauncher.h"
#include "LaunchRecorder.h"
#include "TestSupport.h"

using namespace platform;
using namespace platform::testing;
using testing_support::readTextFile;
using testing_support::ScopedEnvironment;
using testing_support::TemporaryDirectory;
using testing_support::writeTextFile;

namespace {

void writeFile(const std::string& path, const std::string& text, bool executable) {
  writeTextFile(path, text);
  chmod(path.c_str(), executable ? 0755 : 0644);
}

}  // namespace

TEST(DesktopLauncherTest, FindsProgramsOnThePath) {
  TemporaryDirectory bin;
  writeFile(bin.file("pictavia-tool"), "#!/bin/sh\n", true);
  writeFile(bin.file("pictavia-notes"), "not a program\n", false);
  std::filesystem::create_directory(bin.file("pictavia-folder"));
  ScopedEnvironment path("PATH", "/nonexistent-pictavia:" + bin.path());
  EXPECT_TRUE(DesktopLauncher::isProgramOnPath("pictavia-tool"));
  EXPECT_TRUE(DesktopLauncher::isProgramOnPath(bin.file("pictavia-tool")));
  EXPECT_FALSE(DesktopLauncher::isProgramOnPath("pictavia-notes"));
  EXPECT_FALSE(DesktopLauncher::isProgramOnPath("pictavia-folder"));
  EXPECT_FALSE(DesktopLauncher::isProgramOnPath("pictavia-missing"));
  EXPECT_FALSE(DesktopLauncher::isProgramOnPath(""));
  EXPECT_TRUE(DesktopLauncher::canLaunch("pictavia-tool"));
  EXPECT_FALSE(DesktopLauncher::canLaunch("pictavia-missing"));
  LaunchRecorder recorder;
  EXPECT_TRUE(DesktopLauncher::canLaunch("pictavia-missing"));
}

TEST(DesktopLauncherTest, StartsTheProgramWithItsArgumentsUntouched) {
  TemporaryDirectory bin;
  // Writes its arguments after the first, one a line, into the file the first names.
  writeFile(bin.file("pictavia-echo"),
            "#!/bin/sh\nout=\"$1\"\nshift\nprintf '%s\\n' \"$@\" > \"$out.tmp\" && "
            "mv \"$out.tmp\" \"$out\"\n",
            true);
  ScopedEnvironment path("PATH", bin.path() + ":/usr/bin:/bin");
  std::string out = bin.file("arguments");
  ASSERT_TRUE(DesktopLauncher::launch({"pictavia-echo", out, "two words", "-x", "$HOME"}));
  ASSERT_TRUE(testing_support::runMainLoopUntil([&] { return std::filesystem::exists(out); }));
  EXPECT_EQ(readTextFile(out), "two words\n-x\n$HOME\n");

  EXPECT_FALSE(DesktopLauncher::launch({"pictavia-missing", out}));
  EXPECT_FALSE(DesktopLauncher::launch({}));

  LaunchRecorder recorder(false);
  std::filesystem::remove(out);
  EXPECT_FALSE(DesktopLauncher::launch({"pictavia-echo", out, "a"}));
  recorder.starts = true;
  EXPECT_TRUE(DesktopLauncher::launch({"pictavia-echo", out, "b"}));
  EXPECT_EQ(recorder.launches, (std::vector<DesktopLauncher::Arguments>{
                                   {"pictavia-echo", out, "a"}, {"pictavia-echo", out, "b"}}));
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(DesktopLauncherTest, ADisplayIsX11OrWayland) {
  ScopedEnvironment x11("DISPLAY", std::nullopt);
  ScopedEnvironment wayland("WAYLAND_DISPLAY", std::nullopt);
  EXPECT_FALSE(DesktopLauncher::hasDisplay());
  {
    ScopedEnvironment set("DISPLAY", ":0");
    EXPECT_TRUE(DesktopLauncher::hasDisplay());
  }
  {
    ScopedEnvironment set("WAYLAND_DISPLAY", "wayland-0");
    EXPECT_TRUE(DesktopLauncher::hasDisplay());
  }
  ScopedEnvironment empty("DISPLAY", "");
  EXPECT_FALSE(DesktopLauncher::hasDisplay());
}
