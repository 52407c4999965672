#include "Graphics/ImageNamed.h"

#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"

namespace platform {

std::shared_ptr<Image> imageNamed(const std::string& name, const Bundle* bundle) {
  std::shared_ptr<Bundle> main;
  if (!bundle) {
    main = Bundle::mainBundle();
    bundle = main.get();
  }
  if (!bundle || name.empty()) return nullptr;
  std::string base = name, type = "png";
  if (auto dot = name.rfind('.'); dot != std::string::npos && dot > 0) {
    base = name.substr(0, dot);
    type = name.substr(dot + 1);
  }
  if (DeviceProfile::current().scale >= 2) {
    if (auto path = bundle->pathForResource(base + "@2x", type))
      if (auto image = ImageDecoder::imageWithContentsOfFile(*path, 2)) return image;
  }
  if (auto path = bundle->pathForResource(base, type))
    return ImageDecoder::imageWithContentsOfFile(*path, 1);
  return nullptr;
}

}  // namespace platform
