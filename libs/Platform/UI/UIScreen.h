#pragma once

#include "Graphics/Geometry.h"

namespace platform {

// The main screen: its bounds in points and its scale, from the current device profile.
class UIScreen {
 public:
  static UIScreen& mainScreen();
  Rect bounds() const;
  // The screen less the status bar's 20 points at the top.
  Rect applicationFrame() const;
  double scale() const;
};

}  // namespace platform
