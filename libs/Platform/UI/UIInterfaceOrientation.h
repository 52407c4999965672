#pragma once

namespace platform {

enum class UIInterfaceOrientation {
  Portrait = 1,
  PortraitUpsideDown = 2,
  LandscapeRight = 3,
  LandscapeLeft = 4,
};

// A set of orientations: orientation n is the bit 1 << n.
using UIInterfaceOrientationMask = unsigned;
constexpr UIInterfaceOrientationMask maskForOrientation(UIInterfaceOrientation orientation) {
  return 1u << static_cast<unsigned>(orientation);
}
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskPortrait = 1u << 1;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskPortraitUpsideDown = 1u << 2;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskLandscapeRight = 1u << 3;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskLandscapeLeft = 1u << 4;
inline constexpr UIInterfaceOrientationMask UIInterfaceOrientationMaskAll = 0x1E;

}  // namespace platform
