#pragma once

#include <memory>
#include <string>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "Graphics/UIColor.h"
#include "Graphics/UIFont.h"

namespace platform {

enum class NSTextAlignment { Left = 0, Center = 1, Right = 2 };
enum class NSLineBreakMode {
  WordWrapping = 0,
  CharWrapping = 1,
  Clipping = 2,
  TruncatingHead = 3,
  TruncatingTail = 4,
  TruncatingMiddle = 5,
};

// Text set with Pango and fontconfig. One font map for the process, released with FcFini()
// at exit so that no font cache outlives the program. Main thread only.
class TextRenderer {
 public:
  struct Style {
    UIFont font;
    UIColor color = UIColor::blackColor();
    NSTextAlignment alignment = NSTextAlignment::Left;
    int numberOfLines = 1;  // 0: as many as fit
    NSLineBreakMode lineBreakMode = NSLineBreakMode::TruncatingTail;
  };

  // The size the text takes set within `width` points (0: unbounded), in points.
  static Size sizeOfText(const std::string& text, const Style& style, double width);
  // The text set in a `box` of points at `scale`, aligned horizontally, centred vertically,
  // clipped to the box. Null for an empty box.
  static std::shared_ptr<Image> renderText(const std::string& text, const Style& style, Size box,
                                           double scale);
};

}  // namespace platform
