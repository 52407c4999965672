#pragma once

#include "Graphics/BitmapContext.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "UI/UIView.h"

namespace platform {

// Drawing pictures into a canvas whose user space has y growing downward (the views' space).

// The picture shown in `rect`, its orientation applied; a stretchable picture keeps its caps
// and stretches its middle.
void drawPicture(BitmapContext& context, const Image& image, const Rect& rect);

// Where a picture of `imageSize` goes in `bounds` for a content mode.
Rect contentRect(UIViewContentMode mode, Size imageSize, const Rect& bounds);

// Fills `rect`, with rounded corners when `radius` is positive.
void addRoundedRect(BitmapContext& context, const Rect& rect, double radius);

}  // namespace platform
