// Runs the content update cycle headless, with the real catalogue controller, until a cycle
// ends with nothing left to fetch or a time limit passes; then reports what the device holds.
//
//   content-sync --container DIR [--directory URL] [--profile NAME] [--time-limit SECONDS]
//   [--quiet]
//
// Exit status: 0 in step with the catalogue, 1 not in step when the time ran out, 2 bad arguments.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Config/Config.h"
#include "Content/ContentControl.h"
#include "Content/ContentName+Device.h"
#include "Content/ContentServiceRequest.h"
#include "Foundation/AppContainer.h"
#include "Foundation/Clock.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/FileManager.h"
#include "Foundation/NotificationCenter.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DataSource.h"

namespace {

const char* const kTypeNames[] = {"backgrounds", "photo frames", "cliparts", "face effects",
                                  "top/bottom frames"};

int usage(FILE* out, int status) {
  std::fprintf(
      out,
      "usage: content-sync --container DIR [--directory URL] [--profile NAME]\n"
      "                    [--time-limit SECONDS] [--quiet]\n"
      "\n"
      "Keeps the content of an app container in step with a content server, as the program\n"
      "does when it becomes active, and reports what the container then holds.\n"
      "\n"
      "  --container DIR     the app container (created when missing)\n"
      "  --directory URL     the content directory server's base URL (default: the\n"
      "                      compiled-in one for the profile's screen)\n"
      "  --profile NAME      phone-3.5, phone-3.5@2x, phone-4 (default), tablet, tablet@2x\n"
      "  --time-limit S      give up after S seconds (default 120)\n"
      "  --quiet             no progress lines\n"
      "\n"
      "Exit status: 0 in step with the catalogue, 1 not when the time ran out, 2 bad arguments.\n");
  return status;
}

double realNow() {
  return platform::SystemClock().now();
}

// Catalogue files not yet held in their listed version; names the device cannot use (another
// screen's pictures) are not counted.
int filesLeftToFetch(const ContentControl& control, int perType[kContentTypeCount]) {
  int left = 0;
  for (const auto& [name, version] : control.curServerContent()) {
    ContentType type = ContentName::type(name);
    if (type == ContentTypeNone ||
        !ContentName::isAcceptedLocalFile(name, std::vector<std::string>{}))
      continue;
    auto downloaded = control.curDownloadedContent().find(name);
    bool held = downloaded != control.curDownloadedContent().end() &&
                downloaded->second == version && control.isAllContentDownloaded({name});
    if (!held) {
      ++left;
      ++perType[type];
    }
  }
  return left;
}

}  // namespace

int main(int argc, char** argv) {
  std::string container;
  std::string directory;
  std::string profileName = "phone-4";
  double timeLimit = 120;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    std::string option = argv[i];
    auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
    if (option == "--help" || option == "-h") return usage(stdout, 0);
    const char* text = nullptr;
    if (option == "--container" && (text = value()))
      container = text;
    else if (option == "--directory" && (text = value()))
      directory = text;
    else if (option == "--profile" && (text = value()))
      profileName = text;
    else if (option == "--time-limit" && (text = value()))
      timeLimit = std::strtod(text, nullptr);
    else if (option == "--quiet")
      quiet = true;
    else
      return usage(stderr, 2);
  }
  auto profile = platform::DeviceProfile::named(profileName);
  if (container.empty() || !profile || !(timeLimit > 0)) return usage(stderr, 2);

  platform::FileManager::createDirectoryAtPath(container, true);
  platform::AppContainer::setRootOverride(container);
  platform::DeviceProfile::setCurrent(*profile);
  Config::install();
  if (!directory.empty()) ContentServiceRequest::setDirectoryServerURLs(directory, directory);

  DataSource& settings = DataSource::source();
  auto control = ContentControl::Instance();
  auto& center = platform::NotificationCenter::defaultCenter();
  int items = 0;
  bool cycleEnded = false;
  // The controller asks for the settings to be saved as it stores files (written at most once a
  // second, off the main thread); a sync killed at any moment loses at most that second, and the
  // next start finds the files on disk.
  center.addObserver(&items, ContentControl::kContentControlHasNewContent, control.get(),
                     [&](const platform::Notification&) {
                       ++items;
                       if (!quiet) std::printf("  %d items fetched\n", items), std::fflush(stdout);
                     });
  center.addObserver(&cycleEnded, ContentControl::kContentControlUpdateFinished, control.get(),
                     [&](const platform::Notification&) { cycleEnded = true; });

  double deadline = realNow() + timeLimit;
  // A cycle that ends out of step (a catalogue that failed, files that failed) is tried again
  // after a pause that doubles up to a minute, never at once: a server answering errors must
  // not get a storm of requests.
  double pause = 1;
  int left = 0;
  int perType[kContentTypeCount] = {};
  for (int cycle = 1;; ++cycle) {
    if (!quiet) std::printf("cycle %d\n", cycle), std::fflush(stdout);
    cycleEnded = false;
    control->updateServerContent();
    platform::RunLoop::main().runUntil([&] { return cycleEnded; },
                                       std::max(0.0, deadline - realNow()));
    settings.saveData();
    std::fill(std::begin(perType), std::end(perType), 0);
    left = filesLeftToFetch(*control, perType);
    bool listed = ContentControl::storedListVersion().has_value();
    if (cycleEnded && listed && left == 0) break;
    if (realNow() >= deadline) break;
    if (!quiet && cycleEnded)
      std::printf("  %d files still to fetch; again in %g s\n", left, pause);
    if (cycleEnded) {
      platform::RunLoop::main().runUntil([] { return false; },
                                         std::min(pause, std::max(0.0, deadline - realNow())));
      pause = std::min(pause * 2, 60.0);
      if (realNow() >= deadline) break;
    }
  }

  std::printf("catalogue version %s from %s\n",
              ContentControl::storedListVersion().value_or("none").c_str(),
              control->contentSericeURL().value_or("no server").c_str());
  for (int type = 0; type < kContentTypeCount; ++type) {
    auto list = control->contentItemsForType(static_cast<ContentType>(type));
    std::printf("%-18s %4zu items %5d files %4d not fetched\n", kTypeNames[type],
                list ? list->size() : 0,
                control->availContentForType(static_cast<ContentType>(type)), perType[type]);
  }
  bool inStep = cycleEnded && ContentControl::storedListVersion() && left == 0;
  if (!inStep) std::printf("not in step with the catalogue: %d files missing\n", left);
  center.removeObserver(&items);
  center.removeObserver(&cycleEnded);
  return inStep ? 0 : 1;
}
