#include "UI/UITheme.h"

namespace platform {

UITheme& UITheme::current() {
  static UITheme theme;
  return theme;
}

}  // namespace platform
