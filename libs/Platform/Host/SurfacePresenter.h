#pragma once

#include <cstdint>
#include <vector>

#include "Graphics/Bitmap.h"
#include "Graphics/Geometry.h"

typedef struct SDL_Window SDL_Window;
typedef struct SDL_Surface SDL_Surface;

namespace platform {

// Shows regions of a composited screen in a window through the window's own surface: only the
// changed regions are copied (scaled to the window's size, bilinearly, when it differs) and
// sent to the display. Every window pixel depends on the screen alone, not on which regions
// were sent, so regions scaled one by one join without seams.
class SurfacePresenter {
 public:
  explicit SurfacePresenter(SDL_Window* window) : _window(window) {}

  // `screen` is a canvas of 32-bit pixels (the top byte unused); `changed` are its regions to
  // show, in its pixels (origin top-left). Everything is shown when `all` is set or the window's
  // surface is a new one. Returns false when the window has no surface.
  bool present(const Bitmap& screen, const std::vector<Rect>& changed, bool all);

 private:
  struct Span {
    int x, y, width, height;
  };
  void copy(const Bitmap& screen, SDL_Surface* surface, const Span& span);

  SDL_Window* _window;
  SDL_Surface* _shownOn = nullptr;
  std::vector<std::uint32_t> _row;
};

}  // namespace platform
