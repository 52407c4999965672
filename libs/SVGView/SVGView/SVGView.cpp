#include "SVGView/SVGView.h"

#include "Foundation/DeviceProfile.h"
#include "SVGView/SVGRenderer.h"

std::shared_ptr<platform::Image> SVGView::imageWithSize(platform::Size size,
                                                        const std::string& path) {
  SVGRenderer renderer;  // private to this call
  if (!renderer.load(path)) return nullptr;
  return renderer.renderImage(static_cast<float>(size.width), static_cast<float>(size.height),
                              platform::DeviceProfile::current().scale);
}
