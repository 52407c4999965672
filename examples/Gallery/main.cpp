// The toolkit's gallery. In a window:   gallery [--profile NAME] [--quit-after SECONDS]
// Screenshots of every page:          gallery --offscreen DIRECTORY [--profile NAME]
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>

#include "Foundation/Console.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "GalleryDelegate.h"
#include "Host/OffscreenHost.h"
#include "Host/WindowHost.h"

using namespace platform;

namespace {

int usage() {
  std::cerr << "usage: gallery [--profile NAME] [--quit-after SECONDS] [--offscreen DIRECTORY]\n"
               "profiles: phone-3.5, phone-3.5@2x, phone-4, tablet, tablet@2x\n";
  return 2;
}

int runOffscreen(const DeviceProfile& profile, const std::string& directory) {
  std::error_code error;
  std::filesystem::create_directories(directory, error);
  OffscreenHost host(profile);
  auto delegate = std::make_shared<GalleryDelegate>(GALLERY_RESOURCES_DIR);
  host.launch(delegate);
  int status = delegate->loadedAll() ? 0 : 1;
  for (int page = 0; page < delegate->pageCount(); ++page) {
    delegate->showPage(page);
    // Halfway into the animation and the first transition, so the motion shows.
    host.advanceBy(page == delegate->pageCount() - 1 ? 0.4 : 0.1);
    std::string path = directory + "/" + std::to_string(page + 1) + "-" +
                       delegate->pageName(page) + ".png";
    if (!host.writeScreenshot(path)) {
      status = 1;
    } else {
      std::cout << path << "\n";
    }
  }
  host.terminate();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  std::string offscreen;
  WindowHost::Options options;
  options.title = "Pictavia gallery";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--profile" && hasValue) {
      auto named = DeviceProfile::named(argv[++i]);
      if (!named) return usage();
      profile = *named;
    } else if (arg == "--offscreen" && hasValue) {
      offscreen = argv[++i];
    } else if (arg == "--quit-after" && hasValue) {
      options.quitAfter = std::atof(argv[++i]);
    } else {
      return usage();
    }
  }
  if (!offscreen.empty()) return runOffscreen(profile, offscreen);

  auto delegate = std::make_shared<GalleryDelegate>(GALLERY_RESOURCES_DIR);
  // A new page every four seconds.
  auto page = std::make_shared<int>(0);
  auto turn = std::make_shared<std::function<void()>>();
  *turn = [delegate, page, turn] {
    *page = (*page + 1) % delegate->pageCount();
    delegate->showPage(*page);
    RunLoop::main().schedule(4, *turn);
  };
  RunLoop::main().schedule(4, *turn);
  WindowHost host(profile, options);
  return host.run(delegate);
}
