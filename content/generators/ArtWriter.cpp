#include "ArtWriter.h"

#include <cmath>
#include <cstdio>
#include <fstream>

#include "DefaultMask.h"
#include "Graphics/ImageEncoder.h"
#include "Painter.h"

namespace {

constexpr double kJpegQuality = 0.9;

// The item's art on a transparent canvas of the given pixels, `scale` pixels to the point.
// Centred art lands on `centre`.
std::shared_ptr<platform::Image> render(const ArtItem& item, platform::Size screen, int width,
                                        int height, double scale, platform::Point centre) {
  auto painter = Painter::create(width, height, scale);
  if (!painter) return nullptr;
  if (item.layout == ArtLayout::Centred) painter->translate(centre.x, centre.y);
  item.draw(*painter, screen);
  return painter->image();
}

// The art laid over the item's matte colour, without alpha, as a JPEG holds it.
std::shared_ptr<platform::Image> overMatte(const platform::Image& art, const Color& matte) {
  const platform::Bitmap& source = art.bitmap();
  auto opaque =
      platform::Bitmap::create(source.width(), source.height(), platform::PixelFormat::RGB24);
  if (!opaque) return nullptr;
  auto channel = [](std::uint32_t argb, int shift, double matteValue) {
    double alpha = (argb >> 24) / 255.0;
    double value = ((argb >> shift) & 0xFF) / 255.0;
    return static_cast<std::uint32_t>(
        std::lround(255 * (value * alpha + matteValue * (1 - alpha))));
  };
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x) {
      std::uint32_t argb = source.pixel(x, y);
      opaque->setPixel(x, y,
                       0xFF000000u | channel(argb, 16, matte.red) << 16 |
                           channel(argb, 8, matte.green) << 8 | channel(argb, 0, matte.blue));
    }
  return platform::Image::imageWithBitmap(std::move(opaque));
}

// The grey mask of the art: black where it is opaque, white where it is transparent.
std::shared_ptr<platform::Image> maskOf(const platform::Image& art) {
  const platform::Bitmap& source = art.bitmap();
  auto mask =
      platform::Bitmap::create(source.width(), source.height(), platform::PixelFormat::Grey8);
  if (!mask) return nullptr;
  for (int y = 0; y < source.height(); ++y)
    for (int x = 0; x < source.width(); ++x)
      mask->row(y)[x] = static_cast<std::uint8_t>(255 - (source.pixel(x, y) >> 24));
  return platform::Image::imageWithBitmap(std::move(mask));
}

// The art with the default top/bottom-frame mask applied, as the application shows it.
std::shared_ptr<platform::Image> withDefaultMask(const platform::Image& art, double scale,
                                                 double screenHeight) {
  const platform::Bitmap& source = art.bitmap();
  auto masked = platform::Bitmap::create(source.width(), source.height(),
                                         platform::PixelFormat::ARGB32Premultiplied);
  if (!masked) return nullptr;
  for (int y = 0; y < source.height(); ++y) {
    double keep = DefaultMask::visibility((y + 0.5) / scale, screenHeight);
    for (int x = 0; x < source.width(); ++x) {
      std::uint32_t argb = source.pixel(x, y);
      auto alpha = static_cast<std::uint32_t>(std::lround((argb >> 24) * keep));
      masked->setPixel(x, y, alpha << 24 | (argb & 0xFFFFFF));
    }
  }
  return platform::Image::imageWithBitmap(std::move(masked));
}

}  // namespace

bool ArtWriter::save(const std::string& name, const std::optional<platform::Bytes>& data) {
  std::string path = _folder + "/" + name;
  if (!data) {
    std::fprintf(stderr, "content: could not encode %s\n", name.c_str());
    return false;
  }
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data->data()),
            static_cast<std::streamsize>(data->size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "content: could not write %s\n", path.c_str());
    return false;
  }
  _written.push_back(name);
  return true;
}

bool ArtWriter::writeFull(const ArtItem& item, platform::Size screen, const std::string& suffix) {
  int width = static_cast<int>(screen.width * kScale);
  int height = static_cast<int>(screen.height * kScale);
  auto art = render(item, screen, width, height, kScale, {screen.width / 2, screen.height / 2});
  if (!art) {
    std::fprintf(stderr, "content: could not draw %s\n", item.name.c_str());
    return false;
  }
  std::string stem = item.name + suffix;
  switch (item.format) {
    case ArtFormat::Png:
      return save(stem + ".png", platform::ImageEncoder::pngData(*art));
    case ArtFormat::Jpeg:
    case ArtFormat::JpegDefaultMask: {
      auto opaque = overMatte(*art, item.matte);
      return opaque && save(stem + ".jpg", platform::ImageEncoder::jpegData(*opaque, kJpegQuality));
    }
    case ArtFormat::JpegWithMask: {
      auto opaque = overMatte(*art, item.matte);
      auto mask = maskOf(*art);
      return opaque && mask &&
             save(stem + ".jpg", platform::ImageEncoder::jpegData(*opaque, kJpegQuality)) &&
             save(stem + "_mask.jpg", platform::ImageEncoder::jpegData(*mask, kJpegQuality));
    }
  }
  return false;
}

bool ArtWriter::writePreview(const ArtItem& item) {
  std::shared_ptr<platform::Image> art;
  if (item.layout == ArtLayout::Centred) {
    double scale = kCentredPreviewSide / item.extent;
    art = render(item, kScreen, kCentredPreviewSide, kCentredPreviewSide, scale,
                 {item.extent / 2, item.extent / 2});
  } else {
    double scale = kPreviewWidth / kScreen.width;
    art = render(item, kScreen, kPreviewWidth, kPreviewHeight, scale, {});
    // Previews are never masked, so the preview carries the cut the full picture gets.
    if (art && item.format == ArtFormat::JpegDefaultMask)
      art = withDefaultMask(*art, scale, kScreen.height);
  }
  if (!art) {
    std::fprintf(stderr, "content: could not draw the preview of %s\n", item.name.c_str());
    return false;
  }
  if (item.format == ArtFormat::Jpeg) {
    auto opaque = overMatte(*art, item.matte);
    return opaque &&
           save(item.name + "_small.jpg", platform::ImageEncoder::jpegData(*opaque, kJpegQuality));
  }
  return save(item.name + "_small.png", platform::ImageEncoder::pngData(*art));
}

bool ArtWriter::write(const ArtItem& item) {
  return writeFull(item, kScreen, "") && writeFull(item, kTallScreen, "_iph5") &&
         writePreview(item);
}

bool ArtWriter::writeDefaultMasks() {
  // Looked up as the application looks up its pictures: the "@2x" file on a double-resolution
  // screen, the plain one otherwise.
  struct Variant {
    const char* name;
    platform::Size screen;
    double scale;
  };
  const Variant variants[] = {{"tbframe_mask.jpg", kScreen, 1},
                              {"tbframe_mask@2x.jpg", kScreen, 2},
                              {"tbframe_iph5_mask.jpg", kTallScreen, 1},
                              {"tbframe_iph5_mask@2x.jpg", kTallScreen, 2}};
  for (const Variant& v : variants) {
    auto mask = DefaultMask::image(v.screen, v.scale);
    if (!mask || !save(v.name, platform::ImageEncoder::jpegData(*mask, kJpegQuality))) return false;
  }
  return true;
}
