#pragma once

#include <memory>

#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

// Operations on pictures: cropping, three kinds of scaling, rotation and masking. None changes
// the receiver; each returns a new image, except where it says it returns the receiver itself.
// A null receiver reads as size (0, 0) and scale 0. Sizes are in points; the steps run in
// single precision, as the phone did.
namespace PV_Extensions {

// The part of the stored pixels inside `rect` (in stored pixels, whatever the orientation),
// clipped to the picture, with the receiver's scale and orientation; null when nothing is left.
std::shared_ptr<platform::Image> imageAtRect(const std::shared_ptr<platform::Image>& receiver,
                                             platform::Rect rect);

// Scaled to cover `size` at the screen's scale, centred and cropped, on an opaque canvas.
// Logs "could not scale image" and answers null when no canvas could be made.
std::shared_ptr<platform::Image> imageByScalingProportionallyToMinimumSize(
    const std::shared_ptr<platform::Image>& receiver, platform::Size size);

// Scaled to fit inside `size`, keeping the proportions, with the receiver's scale and
// orientation. The receiver itself when it already fits with one side exact, or when its
// canvas cannot be made.
std::shared_ptr<platform::Image> imageByScalingProportionallyToSize(
    const std::shared_ptr<platform::Image>& receiver, platform::Size size);

// Stretched to `size` at the screen's scale, on an opaque canvas. Logs "could not scale image"
// and answers null when no canvas could be made.
std::shared_ptr<platform::Image> imageByScalingToSize(
    const std::shared_ptr<platform::Image>& receiver, platform::Size size);

std::shared_ptr<platform::Image> imageRotatedByRadians(
    const std::shared_ptr<platform::Image>& receiver, double radians);

// Rotated about its centre (clockwise as shown for positive angles) on a transparent canvas at
// scale 1 that holds all of it; the stored pixels are drawn, the orientation is not applied.
std::shared_ptr<platform::Image> imageRotatedByDegrees(
    const std::shared_ptr<platform::Image>& receiver, double degrees);

// The receiver with the mask applied to its alpha: where the mask is black the pixel stays,
// where white it goes, grey in proportion. The mask's stored pixels are stretched to the
// receiver's; colour masks are read as grey (over white where they have transparency). The
// result has premultiplied alpha and the receiver's scale and orientation; null without a
// receiver or a mask.
std::shared_ptr<platform::Image> imageByMaskingUsingImage(
    const std::shared_ptr<platform::Image>& receiver, const std::shared_ptr<platform::Image>& mask);

}  // namespace PV_Extensions
