// Draws every item of a content pack on one PNG, through the operations the application uses,
// so that a person can judge the pack at a glance.
//
//   contact-sheet [--tall] [--resources FOLDER] PACK_FOLDER OUT.png
//   contact-sheet --art [--scale 1|2] [--list ART_LIST] [--resources FOLDER] OUT.png
//
// --tall shows the pack as a tall-screen (320x568) phone lists it; the default is the 320x480
// phone at scale 2. The default top/bottom-frame mask comes from the application's resources,
// or from FOLDER when given.
// --art instead draws every picture of the application's art list (the one in the source tree
// unless --list names another) as built into the application's bundle (or FOLDER), at 2x unless
// --scale 1 is given; pictures that are missing or of the wrong size are listed on stderr.
// Exit status: 0 written, 1 the pack or an item could not be read or drawn, or the PNG not
// written (the sheet is still written when only items failed), 2 bad arguments.
#include <cstdio>
#include <string>
#include <vector>

#include "ArtList.h"
#include "ArtSheet.h"
#include "ContactSheet.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageEncoder.h"
#include "Graphics/ImageNamed.h"
#include "PackFolder.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: contact-sheet [--tall] [--resources FOLDER] PACK_FOLDER OUT.png\n"
               "       contact-sheet --art [--scale 1|2] [--list ART_LIST] [--resources FOLDER] "
               "OUT.png\n");
  return 2;
}

int artSheet(const std::string& listPath, const std::string& resources, int scale,
             const std::string& out) {
  std::string error;
  auto list = ArtList::read(listPath, error);
  if (!list) {
    std::fprintf(stderr, "contact-sheet: %s\n", error.c_str());
    return 1;
  }
  std::string folder =
      resources.empty() ? platform::Bundle::mainBundle()->resourcePath() : resources;
  ArtSheet sheet(*list, folder, scale);
  auto image = sheet.render();
  auto png = image ? platform::ImageEncoder::pngData(*image) : std::nullopt;
  if (!png || !platform::AtomicFile::write(out, *png)) {
    std::fprintf(stderr, "contact-sheet: could not write %s\n", out.c_str());
    return 1;
  }
  for (const std::string& name : sheet.failures())
    std::fprintf(stderr, "contact-sheet: %s: missing or not of its listed size\n", name.c_str());
  std::printf("%zu pictures from %s\n", list->pictures().size(), folder.c_str());
  return sheet.failures().empty() ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  bool tall = false, art = false;
  int scale = 2;
  std::string resources, listPath = ART_LIST_PATH;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "--tall") {
      tall = true;
    } else if (argument == "--resources" && i + 1 < argc) {
      resources = argv[++i];
    } else if (argument == "--art") {
      art = true;
    } else if (argument == "--list" && i + 1 < argc) {
      listPath = argv[++i];
    } else if (argument == "--scale" && i + 1 < argc) {
      std::string value = argv[++i];
      if (value != "1" && value != "2") return usage();
      scale = value[0] - '0';
    } else if (argument.starts_with("--")) {
      return usage();
    } else {
      positional.push_back(argument);
    }
  }
  if (art)
    return positional.size() == 1 && !tall ? artSheet(listPath, resources, scale, positional[0])
                                           : usage();
  if (positional.size() != 2) return usage();

  platform::DeviceProfile::setCurrent(tall ? platform::DeviceProfile::phoneTall()
                                           : platform::DeviceProfile::phone35(2));
  std::string error;
  auto folder = PackFolder::read(positional[0], tall, error);
  if (!folder) {
    std::fprintf(stderr, "contact-sheet: %s\n", error.c_str());
    return 1;
  }

  std::shared_ptr<platform::Bundle> bundle = platform::Bundle::mainBundle();
  if (!resources.empty()) {
    bundle = platform::Bundle::bundleWithPath(resources);
    if (!bundle) {
      std::fprintf(stderr, "contact-sheet: %s is not a folder\n", resources.c_str());
      return 1;
    }
  }
  const char* maskName = tall ? "tbframe_iph5_mask.jpg" : "tbframe_mask.jpg";
  auto defaultMask = platform::imageNamed(maskName, bundle.get());
  if (!defaultMask)
    std::fprintf(stderr,
                 "contact-sheet: warning: no %s in %s; top/bottom frames without a mask of "
                 "their own are shown uncut\n",
                 maskName, bundle->resourcePath().c_str());

  ContactSheet sheet(*folder, tall, defaultMask);
  auto image = sheet.render();
  auto png = image ? platform::ImageEncoder::pngData(*image) : std::nullopt;
  if (!png || !platform::AtomicFile::write(positional[1], *png)) {
    std::fprintf(stderr, "contact-sheet: could not write %s\n", positional[1].c_str());
    return 1;
  }
  for (const std::string& name : sheet.failures())
    std::fprintf(stderr, "contact-sheet: %s: no picture\n", name.c_str());
  auto counts = folder->counts();
  std::printf("%d backgrounds, %d photo frames, %d cliparts, %d face effects, %d top/bottom frames",
              counts[0], counts[1], counts[2], counts[3], counts[4]);
  std::printf(", %zu files not listed for this screen\n", folder->ignoredFiles().size());
  return sheet.failures().empty() ? 0 : 1;
}
