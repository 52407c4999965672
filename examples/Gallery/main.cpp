// The toolkit's gallery. In a window, turning pages with the ‹ and › buttons of each heading:
//   gallery [--profile NAME] [--lang LANG] [--tour SECONDS] [--quit-after SECONDS]
//           [--camera-pipeline GST] [--full-frames]
// Screenshots of every page, its touches played and checked:
//   gallery --offscreen DIRECTORY [--profile NAME] [--camera-pipeline GST]
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>

#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "GalleryDelegate.h"
#include "GalleryPage.h"
#include "Host/WindowHost.h"
#include "OffscreenTour.h"

using namespace platform;

namespace {

int usage() {
  std::cerr
      << "usage: gallery [--profile NAME] [--lang LANG] [--tour SECONDS] [--quit-after SECONDS]\n"
         "               [--camera-pipeline GST] [--full-frames]\n"
         "       gallery --offscreen DIRECTORY [--profile NAME] [--lang LANG]\n"
         "               [--camera-pipeline GST]\n"
         "profiles: phone-3.5, phone-3.5@2x, phone-4, tablet, tablet@2x\n"
         "--tour turns to the next page by itself every SECONDS\n"
         "--camera-pipeline gives the image picker a camera: a GStreamer pipeline in\n"
         "  gst-launch syntax, e.g. \"videotestsrc ! video/x-raw,width=640,height=480\"\n"
         "--full-frames draws and presents the whole screen for any change, 60 times a\n"
         "  second at most, as a baseline for measuring the window's work\n";
  return 2;
}

// Turns to the next page every `seconds` for as long as the run loop runs.
void startTour(const std::shared_ptr<GalleryDelegate>& gallery, double seconds) {
  auto turn = std::make_shared<std::function<void()>>();
  std::weak_ptr<std::function<void()>> weakTurn = turn;
  *turn = [gallery, seconds, weakTurn] {
    gallery->turn(+1);
    // Each waiting timer holds the function; it holds itself only weakly.
    if (auto again = weakTurn.lock()) RunLoop::main().schedule(seconds, [again] { (*again)(); });
  };
  RunLoop::main().schedule(seconds, [turn] { (*turn)(); });
}

}  // namespace

int main(int argc, char** argv) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  std::string offscreen;
  double tour = 0;
  WindowHost::Options options;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--profile" && hasValue) {
      auto named = DeviceProfile::named(argv[++i]);
      if (!named) return usage();
      profile = *named;
    } else if (arg == "--lang" && hasValue) {
      // Before the first text is looked up: the tables answer in the preferred language.
      setenv("LANGUAGE", argv[++i], 1);
    } else if (arg == "--offscreen" && hasValue) {
      offscreen = argv[++i];
    } else if (arg == "--quit-after" && hasValue) {
      options.quitAfter = std::atof(argv[++i]);
    } else if (arg == "--camera-pipeline" && hasValue) {
      options.cameraPipeline = argv[++i];
    } else if (arg == "--full-frames") {
      options.fullFrames = true;
    } else if (arg == "--tour" && hasValue) {
      tour = std::atof(argv[++i]);
      if (!(tour > 0)) return usage();
    } else {
      return usage();
    }
  }
  // After --lang: the title is looked up in the language chosen.
  options.title = Gallery::text("_Loc_GalleryWindowTitle");
  if (!offscreen.empty()) return OffscreenTour::run(profile, offscreen, options.cameraPipeline);

  auto gallery = std::make_shared<GalleryDelegate>(GALLERY_RESOURCES_DIR);
  if (tour > 0) startTour(gallery, tour);
  WindowHost host(profile, options);
  return host.run(gallery);
}
