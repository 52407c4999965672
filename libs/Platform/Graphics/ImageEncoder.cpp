#include "Graphics/ImageEncoder.h"

#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace platform {
namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
};

[[noreturn]] void jpegFail(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

}  // namespace

namespace {

// The bitmap's rows as PNG wants them: grey as stored, colour as unpremultiplied B, G, R(, A).
void pngRow(const Bitmap& bitmap, int y, std::uint8_t* out) {
  const std::uint8_t* in = bitmap.row(y);
  if (bitmap.format() == PixelFormat::Grey8) {
    std::memcpy(out, in, static_cast<size_t>(bitmap.width()));
    return;
  }
  if (!bitmap.hasAlpha()) {
    for (int x = 0; x < bitmap.width(); ++x, in += 4, out += 3) std::memcpy(out, in, 3);
    return;
  }
  for (int x = 0; x < bitmap.width(); ++x, in += 4, out += 4) {
    unsigned alpha = in[3];
    out[3] = in[3];
    for (int c = 0; c < 3; ++c)
      out[c] = alpha == 255 ? in[c]
               : alpha == 0
                   ? 0
                   : static_cast<std::uint8_t>(std::min(255u, (in[c] * 255u + alpha / 2) / alpha));
  }
}

void appendPng(png_structp png, png_bytep data, png_size_t length) {
  auto* bytes = static_cast<Bytes*>(png_get_io_ptr(png));
  bytes->insert(bytes->end(), data, data + length);
}

[[noreturn]] void pngFail(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void pngQuiet(png_structp, png_const_charp) {}

// Everything libpng changes after setjmp lives in `bytes` and `row`, outside this frame.
bool writePng(png_structp png, png_infop info, const Bitmap& bitmap, int level, Bytes& bytes,
              std::vector<std::uint8_t>& row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &bytes, appendPng, nullptr);
  png_set_compression_level(png, level);
  int colour = bitmap.format() == PixelFormat::Grey8 ? PNG_COLOR_TYPE_GRAY
               : bitmap.hasAlpha()                   ? PNG_COLOR_TYPE_RGB_ALPHA
                                                     : PNG_COLOR_TYPE_RGB;
  png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width()),
               static_cast<png_uint_32>(bitmap.height()), 8, colour, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  if (colour != PNG_COLOR_TYPE_GRAY) png_set_bgr(png);
  for (int y = 0; y < bitmap.height(); ++y) {
    pngRow(bitmap, y, row.data());
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::optional<Bytes> ImageEncoder::pngData(const Image& image, PngCompression compression) {
  const Bitmap& bitmap = image.bitmap();
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngFail, pngQuiet);
  if (!png) return std::nullopt;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return std::nullopt;
  }
  Bytes bytes;
  std::vector<std::uint8_t> row(bitmap.bytesPerPixel() * bitmap.width());
  int level = compression == PngCompression::Fast ? 1 : Z_DEFAULT_COMPRESSION;
  bool written = writePng(png, info, bitmap, level, bytes, row);
  png_destroy_write_struct(&png, &info);
  if (!written) return std::nullopt;
  return bytes;
}

namespace {

struct JpegOutput {
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
};

// Everything libjpeg changes lives in `info` and `output`, outside this frame.
bool compressJpeg(jpeg_compress_struct& info, JpegError& error, JpegOutput& output,
                  const Bitmap& bitmap, double quality) {
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = jpegFail;
  if (setjmp(error.jump)) {
    jpeg_destroy_compress(&info);
    return false;
  }
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &output.buffer, &output.size);
  info.image_width = static_cast<JDIMENSION>(bitmap.width());
  info.image_height = static_cast<JDIMENSION>(bitmap.height());
  bool grey = bitmap.format() == PixelFormat::Grey8;
  info.input_components = grey ? 1 : 4;
  info.in_color_space = grey ? JCS_GRAYSCALE : JCS_EXT_BGRX;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, static_cast<int>(std::clamp(quality, 0.0, 1.0) * 100), TRUE);
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(bitmap.row(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  return true;
}

}  // namespace

std::optional<Bytes> ImageEncoder::jpegData(const Image& image, double quality) {
  auto info = std::make_unique<jpeg_compress_struct>();
  auto error = std::make_unique<JpegError>();
  auto output = std::make_unique<JpegOutput>();
  bool done = compressJpeg(*info, *error, *output, image.bitmap(), quality);
  std::optional<Bytes> bytes;
  if (done) bytes = Bytes(output->buffer, output->buffer + output->size);
  std::free(output->buffer);
  return bytes;
}

}  // namespace platform
