#pragma once

#include <functional>
#include <string>
#include <vector>

#include "Color.h"
#include "Graphics/Geometry.h"

class Painter;

// How an item's full pictures are stored.
enum class ArtFormat {
  Png,              // with transparency
  Jpeg,             // opaque
  JpegWithMask,     // opaque, with a grey "_mask" JPEG cut from the art's transparency
  JpegDefaultMask,  // opaque; the application's default top/bottom-frame mask cuts it
};

// Where an item's art stands on the screen.
enum class ArtLayout {
  FullScreen,  // drawn over the whole screen, origin at its top-left corner
  Centred,     // drawn around (0, 0), placed at the screen's centre
};

// One decoration of the sample pack, drawn in points for a portrait screen of a given size
// (320x480, or the tall 320x568).
struct ArtItem {
  std::string name;  // the base name, such as "frame3"
  ArtFormat format = ArtFormat::Png;
  ArtLayout layout = ArtLayout::FullScreen;
  // Centred items: the side of the square around (0, 0) that the preview shows.
  double extent = 240;
  // What JPEG pictures hold where the art is transparent (the mask removes it).
  Color matte = Color::hex(0x808080);
  std::function<void(Painter&, platform::Size screen)> draw;

  using Draw = void (*)(Painter&, platform::Size screen);
  // An item drawn over the whole screen (backgrounds, photo frames, top/bottom frames).
  static ArtItem fullScreen(std::string name, ArtFormat format, Draw draw,
                            Color matte = Color::hex(0x808080)) {
    return {std::move(name), format, ArtLayout::FullScreen, 240, matte, draw};
  }
  // A PNG item drawn around (0, 0) whose preview shows a square of side `extent`.
  static ArtItem centred(std::string name, double extent, Draw draw) {
    return {std::move(name), ArtFormat::Png,       ArtLayout::Centred,
            extent,          Color::hex(0x808080), draw};
  }
};

// The items of each content type, in the order of their numbers.
namespace SamplePack {
std::vector<ArtItem> backgroundItems();
std::vector<ArtItem> photoFrameItems();
std::vector<ArtItem> clipartItems();
std::vector<ArtItem> faceEffectItems();
std::vector<ArtItem> tbFrameItems();
}  // namespace SamplePack
