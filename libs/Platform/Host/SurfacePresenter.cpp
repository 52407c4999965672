#include "Host/SurfacePresenter.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

// Mixes two pixels' channels with weights out of 256.
std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::uint32_t wb) {
  std::uint32_t wa = 256 - wb;
  std::uint32_t rb = ((a & 0xFF00FFu) * wa + (b & 0xFF00FFu) * wb) >> 8;
  std::uint32_t g = ((a & 0x00FF00u) * wa + (b & 0x00FF00u) * wb) >> 8;
  return (rb & 0xFF00FFu) | (g & 0x00FF00u);
}

}  // namespace

bool SurfacePresenter::present(const Bitmap& screen, const std::vector<Rect>& changed, bool all) {
  SDL_Surface* surface = SDL_GetWindowSurface(_window);
  if (!surface) return false;
  // A new surface holds nothing yet.
  if (surface != _shownOn) all = true;
  _shownOn = surface;
  double zx = surface->w / static_cast<double>(screen.width());
  double zy = surface->h / static_cast<double>(screen.height());
  std::vector<Rect> regions =
      all ? std::vector<Rect>{Rect(0, 0, screen.width(), screen.height())} : changed;
  std::vector<SDL_Rect> rects;
  for (const Rect& r : regions) {
    // The window pixels whose samples reach into the region, a pixel either side.
    int x0 = std::max(0, static_cast<int>(std::floor((r.minX() - 1) * zx)) - 1);
    int y0 = std::max(0, static_cast<int>(std::floor((r.minY() - 1) * zy)) - 1);
    int x1 = std::min(surface->w, static_cast<int>(std::ceil((r.maxX() + 1) * zx)) + 1);
    int y1 = std::min(surface->h, static_cast<int>(std::ceil((r.maxY() + 1) * zy)) + 1);
    if (x1 > x0 && y1 > y0) rects.push_back(SDL_Rect{x0, y0, x1 - x0, y1 - y0});
  }
  if (rects.empty()) return true;
  if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return false;
  for (const SDL_Rect& r : rects) copy(screen, surface, Span{r.x, r.y, r.w, r.h});
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return SDL_UpdateWindowSurfaceRects(_window, rects.data(), static_cast<int>(rects.size())) == 0;
}

void SurfacePresenter::copy(const Bitmap& screen, SDL_Surface* surface, const Span& span) {
  auto* base = static_cast<std::uint8_t*>(surface->pixels);
  std::uint32_t format = surface->format->format;
  int bytes = SDL_BYTESPERPIXEL(format);
  if (surface->w == screen.width() && surface->h == screen.height()) {
    SDL_ConvertPixels(span.width, span.height, SDL_PIXELFORMAT_RGB888,
                      screen.row(span.y) + span.x * 4, static_cast<int>(screen.bytesPerRow()),
                      format, base + span.y * surface->pitch + span.x * bytes, surface->pitch);
    return;
  }
  double sx = screen.width() / static_cast<double>(surface->w);
  double sy = screen.height() / static_cast<double>(surface->h);
  int maxX = screen.width() - 1, maxY = screen.height() - 1;
  struct Tap {
    int x0, x1;
    std::uint32_t w;
  };
  std::vector<Tap> columns(span.width);
  for (int i = 0; i < span.width; ++i) {
    double x = std::clamp((span.x + i + 0.5) * sx - 0.5, 0.0, static_cast<double>(maxX));
    int x0 = static_cast<int>(x);
    columns[i] = Tap{x0, std::min(x0 + 1, maxX), static_cast<std::uint32_t>((x - x0) * 256)};
  }
  _row.resize(span.width);
  for (int j = 0; j < span.height; ++j) {
    double y = std::clamp((span.y + j + 0.5) * sy - 0.5, 0.0, static_cast<double>(maxY));
    int y0 = static_cast<int>(y);
    auto wy = static_cast<std::uint32_t>((y - y0) * 256);
    auto* top = reinterpret_cast<const std::uint32_t*>(screen.row(y0));
    auto* bottom = reinterpret_cast<const std::uint32_t*>(screen.row(std::min(y0 + 1, maxY)));
    for (int i = 0; i < span.width; ++i) {
      const Tap& t = columns[i];
      _row[i] = 0xFF000000u |
                blend(blend(top[t.x0], top[t.x1], t.w), blend(bottom[t.x0], bottom[t.x1], t.w), wy);
    }
    SDL_ConvertPixels(span.width, 1, SDL_PIXELFORMAT_ARGB8888, _row.data(), span.width * 4, format,
                      base + (span.y + j) * surface->pitch + span.x * bytes, surface->pitch);
  }
}

}  // namespace platform
