// Pictavia: call-screen portraits from a photo and downloaded decorations.
//   pictavia [--profile NAME] [--container DIR] [--photos DIR] [--lang LANG]
//            [--camera-pipeline PIPELINE] [--server URL] [--offscreen DIR]
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "App/OffscreenSession.h"
#include "App/PictaviaAppDelegate.h"
#include "AppUI/AppUIClasses.h"
#include "Config/Config.h"
#include "Foundation/AppContainer.h"
#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/Tools.h"
#include "Host/WindowHost.h"
#include "Services/ServicesLog.h"
#include "UI/MemoryPressureMonitor.h"
#include "UI/UIApplication.h"
#include "UI/UIImagePickerController.h"

using namespace platform;

namespace {

int usage(int status) {
  std::ostream& out = status == 0 ? std::cout : std::cerr;
  out << "usage: pictavia [--profile NAME] [--container DIR] [--photos DIR] [--lang LANG]\n"
         "                [--camera-pipeline PIPELINE] [--server URL] [--offscreen DIR]\n"
         "  --profile NAME       the device: phone-3.5, phone-3.5@2x, phone-4 (default),\n"
         "                       tablet, tablet@2x\n"
         "  --container DIR      the application's folder (default ~/.local/share/pictavia)\n"
         "  --photos DIR         the photo library (default: the pictures folder)\n"
         "  --lang LANG          the language of the texts (en, ru; default: the desktop's)\n"
         "  --camera-pipeline P  a GStreamer source to use as the camera\n";
  out << "  --server URL         the root of the content, ads and report server for this run\n"
         "                       (default "
      << Config::kServerRootURL << ")\n";
  out << "  --offscreen DIR      play a whole session without a window, writing screenshots\n"
         "                       and the saved picture into DIR\n";
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  DeviceProfile profile = DeviceProfile::phoneTall();
  std::string offscreen;
  std::string server = Config::kServerRootURL;
  WindowHost::Options options;
  bool containerNamed = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") return usage(0);
    if (arg == "--exit-after-first-frame") {
      // Not in the usage: for start-up measurements, which time the process until this line.
      options.firstFramePresented = [] {
        std::cout << "first frame" << std::endl;
        UIApplication::sharedApplication().terminate();
        RunLoop::main().stop();
      };
      continue;
    }
    if (!hasValue) return usage(2);
    std::string value = argv[++i];
    if (arg == "--profile") {
      auto named = DeviceProfile::named(value);
      if (!named) return usage(2);
      profile = *named;
    } else if (arg == "--container") {
      AppContainer::setRootOverride(value);
      containerNamed = true;
    } else if (arg == "--photos") {
      UIImagePickerController::setPhotoLibraryDirectory(value);
    } else if (arg == "--lang") {
      setenv("LANGUAGE", value.c_str(), 1);
    } else if (arg == "--camera-pipeline") {
      options.cameraPipeline = value;
    } else if (arg == "--server") {
      server = value;
    } else if (arg == "--offscreen") {
      offscreen = value;
    } else {
      return usage(2);
    }
  }

  if (!Config::install(server)) {
    std::cerr << "pictavia: the server must be an http or https URL: " << server << "\n";
    return usage(2);
  }
  AppUIClasses::registerAll();
  Tools::Instance().setVendorServices(std::make_shared<ServicesLog>());
  if (!offscreen.empty())
    return OffscreenSession::run(profile, offscreen, {options.cameraPipeline, containerNamed});

  MemoryPressureMonitor memoryPressure;
  if (auto icon = Bundle::mainBundle()->pathForResource("Icon-512", "png")) options.iconPath = icon;
  WindowHost host(profile, options);
  return host.run(std::make_shared<PictaviaAppDelegate>());
}
