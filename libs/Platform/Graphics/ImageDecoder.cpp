#include "Graphics/ImageDecoder.h"

#include <jpeglib.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#include "Foundation/FileManager.h"
#include "Graphics/BitmapReduction.h"
#include "Graphics/ExifOrientation.h"

namespace platform {
namespace {

bool startsWith(const Bytes& data, std::initializer_list<std::uint8_t> magic) {
  if (data.size() < magic.size()) return false;
  return std::equal(magic.begin(), magic.end(), data.begin());
}

bool withinLimit(std::uint64_t width, std::uint64_t height) {
  // A side no canvas can draw is refused like a picture over the pixel limit.
  return width > 0 && height > 0 && width <= Bitmap::kMaxDrawableSide &&
         height <= Bitmap::kMaxDrawableSide && width * height <= Bitmap::kMaxPixels;
}

void premultiply(Bitmap& bitmap) {
  for (int y = 0; y < bitmap.height(); ++y) {
    std::uint8_t* p = bitmap.row(y);
    for (int x = 0; x < bitmap.width(); ++x, p += 4) {
      unsigned alpha = p[3];  // B, G, R, A in memory
      if (alpha == 255) continue;
      for (int c = 0; c < 3; ++c) p[c] = static_cast<std::uint8_t>((p[c] * alpha + 127) / 255);
    }
  }
}

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void jpegQuiet(j_common_ptr, int) {}

}  // namespace

std::shared_ptr<Image> ImageDecoder::decode(const Bytes& data, double scale) {
  if (startsWith(data, {0x89, 'P', 'N', 'G'})) return decodePNG(data, scale);
  if (startsWith(data, {0xFF, 0xD8})) return decodeJPEG(data, scale);
  return nullptr;
}

std::shared_ptr<Image> ImageDecoder::imageWithContentsOfFile(const std::string& path,
                                                             double scale) {
  auto data = FileManager::contentsAtPath(path, size_t{512} << 20);
  return data ? decode(*data, scale) : nullptr;
}

std::shared_ptr<Image> ImageDecoder::decodePNG(const Bytes& data, double scale) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) return nullptr;
  if (!withinLimit(image.width, image.height)) {
    png_image_free(&image);
    return nullptr;
  }
  bool hasAlpha = image.format & PNG_FORMAT_FLAG_ALPHA;
  bool grey = !(image.format & PNG_FORMAT_FLAG_COLOR) && !hasAlpha &&
              !(image.format & PNG_FORMAT_FLAG_COLORMAP);
  PixelFormat format = grey       ? PixelFormat::Grey8
                       : hasAlpha ? PixelFormat::ARGB32Premultiplied
                                  : PixelFormat::RGB24;
  auto bitmap =
      Bitmap::create(static_cast<int>(image.width), static_cast<int>(image.height), format);
  if (!bitmap) {
    png_image_free(&image);
    return nullptr;
  }
  image.format = grey ? PNG_FORMAT_GRAY : PNG_FORMAT_BGRA;
  if (!png_image_finish_read(&image, nullptr, bitmap->data(),
                             static_cast<png_int_32>(bitmap->bytesPerRow()), nullptr)) {
    png_image_free(&image);
    return nullptr;
  }
  if (hasAlpha) premultiply(*bitmap);
  return Image::imageWithBitmap(std::move(bitmap), scale);
}

namespace {

// Both steps keep every value that changes after setjmp in memory owned elsewhere, so a
// longjmp from libjpeg leaves nothing indeterminate.
bool readJpegHeader(jpeg_decompress_struct& info, JpegError& error, const Bytes& data) {
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = jpegFail;
  error.manager.emit_message = jpegQuiet;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);  // the EXIF block, for the orientation
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
      !withinLimit(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  return true;
}

// The orientation from the first EXIF block that names one; Up without.
ImageOrientation exifOrientation(const jpeg_decompress_struct& info) {
  for (jpeg_saved_marker_ptr m = info.marker_list; m; m = m->next)
    if (m->marker == JPEG_APP0 + 1)
      if (auto o = ExifOrientation::fromExifBlock(m->data, m->data_length)) return *o;
  return ImageOrientation::Up;
}

bool readJpegPixels(jpeg_decompress_struct& info, JpegError& error, Bitmap& bitmap,
                    std::vector<std::uint8_t>& cmykRow) {
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  bool cmyk = info.out_color_space == JCS_CMYK;
  bool grey = info.out_color_space == JCS_GRAYSCALE;
  jpeg_start_decompress(&info);
  if (cmyk) cmykRow.resize(static_cast<size_t>(info.output_width) * 4);
  while (info.output_scanline < info.output_height) {
    int y = static_cast<int>(info.output_scanline);
    JSAMPROW row = cmyk ? cmykRow.data() : bitmap.row(y);
    jpeg_read_scanlines(&info, &row, 1);
    std::uint8_t* out = bitmap.row(y);
    if (cmyk) {
      // Photoshop writes CMYK JPEGs inverted; that is the common kind.
      for (size_t x = 0; x < info.output_width; ++x) {
        const std::uint8_t* p = &cmykRow[4 * x];
        unsigned k = p[3];
        out[4 * x + 0] = static_cast<std::uint8_t>(p[2] * k / 255);
        out[4 * x + 1] = static_cast<std::uint8_t>(p[1] * k / 255);
        out[4 * x + 2] = static_cast<std::uint8_t>(p[0] * k / 255);
        out[4 * x + 3] = 0xFF;
      }
    } else if (!grey) {
      for (size_t x = 0; x < info.output_width; ++x) out[4 * x + 3] = 0xFF;
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

namespace {

// The pixel size of `width` × `height` fitted within `box` keeping proportions, never larger.
struct Fit {
  int width, height;
};

Fit fitWithin(int width, int height, Size box) {
  double factor = std::min({1.0, box.width / width, box.height / height});
  if (!(factor > 0)) return {1, 1};
  return {std::max(1, static_cast<int>(std::lround(width * factor))),
          std::max(1, static_cast<int>(std::lround(height * factor)))};
}

// The whole picture, or (with `fit`) its smallest DCT scaling that still covers `fit`.
std::shared_ptr<Image> decodeJPEGScaled(const Bytes& data, double scale, std::optional<Size> box) {
  auto info = std::make_unique<jpeg_decompress_struct>();
  auto error = std::make_unique<JpegError>();
  if (!readJpegHeader(*info, *error, data)) return nullptr;
  bool grey = info->jpeg_color_space == JCS_GRAYSCALE;
  bool cmyk = info->jpeg_color_space == JCS_CMYK || info->jpeg_color_space == JCS_YCCK;
  info->out_color_space = grey ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGRX;
  const ImageOrientation orientation = exifOrientation(*info);
  const int width = static_cast<int>(info->image_width);
  const int height = static_cast<int>(info->image_height);
  std::optional<Fit> fit;
  if (box) {
    // The box is given as shown; the stored pixels of a sideways photo lie across it.
    Size stored = isSideways(orientation) ? Size{box->height, box->width} : *box;
    fit = fitWithin(width, height, stored);
    unsigned eighths = 8;
    for (unsigned m = 1; m < 8; ++m) {
      // libjpeg rounds a scaled side up.
      auto side = [m](int length) { return (static_cast<long>(length) * m + 7) / 8; };
      if (side(width) >= fit->width && side(height) >= fit->height) {
        eighths = m;
        break;
      }
    }
    info->scale_num = eighths;
    info->scale_denom = 8;
  }
  // The size jpeg_start_decompress will give; the header is valid, so this cannot fail.
  jpeg_calc_output_dimensions(info.get());
  auto bitmap =
      Bitmap::create(static_cast<int>(info->output_width), static_cast<int>(info->output_height),
                     grey ? PixelFormat::Grey8 : PixelFormat::RGB24);
  if (!bitmap) {
    jpeg_destroy_decompress(info.get());
    return nullptr;
  }
  std::vector<std::uint8_t> cmykRow;
  if (!readJpegPixels(*info, *error, *bitmap, cmykRow)) return nullptr;
  if (fit && (bitmap->width() != fit->width || bitmap->height() != fit->height)) {
    bitmap = BitmapReduction::reduce(*bitmap, fit->width, fit->height);
    if (!bitmap) return nullptr;
  }
  return Image::imageWithBitmap(std::move(bitmap), scale, orientation);
}

}  // namespace

std::shared_ptr<Image> ImageDecoder::decodeJPEG(const Bytes& data, double scale) {
  return decodeJPEGScaled(data, scale, std::nullopt);
}

std::shared_ptr<Image> ImageDecoder::decodeFittingSize(const Bytes& data, Size maxPixels,
                                                       double scale) {
  if (startsWith(data, {0xFF, 0xD8})) return decodeJPEGScaled(data, scale, maxPixels);
  auto image = decode(data, scale);
  if (!image) return nullptr;
  const Bitmap& pixels = image->bitmap();
  Size stored =
      isSideways(image->orientation()) ? Size{maxPixels.height, maxPixels.width} : maxPixels;
  Fit fit = fitWithin(pixels.width(), pixels.height(), stored);
  if (fit.width == pixels.width() && fit.height == pixels.height()) return image;
  auto reduced = BitmapReduction::reduce(pixels, fit.width, fit.height);
  return reduced ? Image::imageWithBitmap(std::move(reduced), scale, image->orientation())
                 : nullptr;
}

}  // namespace platform
