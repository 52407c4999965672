#pragma once

#include <memory>
#include <string>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

// Shows ProtoSVG pictures. For now the class offers rasterising without a view; the view itself
// joins it with the view toolkit.
class SVGView {
 public:
  // The picture in the file fitted into `size` points at the main screen's scale, with no state
  // switched on; none when the file does not load or the size gives no pixels. Any thread.
  static std::shared_ptr<platform::Image> imageWithSize(platform::Size size,
                                                        const std::string& path);
};
