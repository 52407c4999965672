// Renders an "svgpb" picture to a PNG file, the way the program rasterises vector content.
//
//   svgpb-render [--scale S] [--state N]... picture.svgpb WIDTHxHEIGHT out.png
//
// WIDTH and HEIGHT are in points; the PNG has WIDTH×S by HEIGHT×S pixels (S defaults to 2).
// Exit status: 0 written, 1 the picture does not load, 2 bad arguments (the picture not a plain
// file included) or the PNG not written.
#include <sys/stat.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/AtomicFile.h"
#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageEncoder.h"
#include "SVGView/SVGRenderer.h"

namespace {

int usage() {
  std::fprintf(
      stderr,
      "usage: svgpb-render [--scale S] [--state N]... picture.svgpb WIDTHxHEIGHT out.png\n");
  return 2;
}

bool parseState(const char* text, int& state) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (end == text || *end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  state = static_cast<int>(value);
  return true;
}

bool parseNumber(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && value > 0 && value < 1e6;
}

// The stored rows as shown: rendered pictures keep their rows upside down (mirrored
// orientation), which a PNG file cannot say.
std::shared_ptr<platform::Image> upright(const platform::Image& image) {
  if (image.orientation() != platform::ImageOrientation::DownMirrored)
    return platform::Image::imageWithBitmap(image.sharedBitmap(), image.scale());
  const platform::Bitmap& stored = image.bitmap();
  auto flipped = platform::Bitmap::create(stored.width(), stored.height(), stored.format());
  for (int y = 0; y < stored.height(); ++y)
    std::copy(stored.row(y), stored.row(y) + stored.bytesPerRow(),
              flipped->row(stored.height() - 1 - y));
  return platform::Image::imageWithBitmap(flipped, image.scale());
}

}  // namespace

int main(int argc, char** argv) {
  double scale = 2;
  std::vector<int> states;
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    std::string argument = argv[i];
    if (argument == "--scale" && i + 1 < argc) {
      if (!parseNumber(argv[++i], scale)) return usage();
    } else if (argument == "--state" && i + 1 < argc) {
      int state = 0;
      if (!parseState(argv[++i], state)) {
        std::fprintf(stderr, "svgpb-render: --state takes a whole number, not \"%s\"\n", argv[i]);
        return usage();
      }
      states.push_back(state);
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 3) return usage();
  const std::string& size = positional[1];
  size_t x = size.find('x');
  double width = 0, height = 0;
  if (x == std::string::npos || !parseNumber(size.substr(0, x).c_str(), width) ||
      !parseNumber(size.substr(x + 1).c_str(), height))
    return usage();

  // A folder would draw as an empty picture and a named pipe would block; only plain files.
  struct stat info;
  if (::stat(positional[0].c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
    std::fprintf(stderr, "svgpb-render: %s is not a plain file\n", positional[0].c_str());
    return usage();
  }

  std::shared_ptr<platform::Image> image;
  if (states.empty()) {
    platform::DeviceProfile profile = platform::DeviceProfile::current();
    profile.scale = scale;
    platform::DeviceProfile::setCurrent(profile);
    image = SVGRenderer::imageWithSize({width, height}, positional[0]);
    if (!image && SVGRenderer().load(positional[0]) == 0) {
      std::fprintf(stderr, "svgpb-render: %s does not load\n", positional[0].c_str());
      return 1;
    }
  } else {
    SVGRenderer renderer;
    if (!renderer.load(positional[0])) {
      std::fprintf(stderr, "svgpb-render: %s does not load\n", positional[0].c_str());
      return 1;
    }
    for (int state : states) renderer.setStateActive(state);
    image = renderer.renderImage(static_cast<float>(width), static_cast<float>(height), scale);
  }
  if (!image) {
    std::fprintf(stderr, "svgpb-render: %gx%g points at scale %g give no pixels\n", width, height,
                 scale);
    return 2;
  }
  auto png = platform::ImageEncoder::pngData(*upright(*image));
  if (!png || !platform::AtomicFile::write(positional[2], *png)) {
    std::fprintf(stderr, "svgpb-render: could not write %s\n", positional[2].c_str());
    return 2;
  }
  return 0;
}
