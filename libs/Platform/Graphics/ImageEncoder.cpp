#include "Graphics/ImageEncoder.h"

#include <jpeglib.h>
#include <png.h>

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

std::optional<Bytes> ImageEncoder::pngData(const Image& image) {
  const Bitmap& bitmap = image.bitmap();
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(bitmap.width());
  png.height = static_cast<png_uint_32>(bitmap.height());
  std::vector<std::uint8_t> pixels;
  size_t rowBytes;
  if (bitmap.format() == PixelFormat::Grey8) {
    png.format = PNG_FORMAT_GRAY;
    rowBytes = bitmap.bytesPerRow();
    pixels.assign(bitmap.data(), bitmap.data() + rowBytes * bitmap.height());
  } else {
    bool alpha = bitmap.hasAlpha();
    png.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    size_t channels = alpha ? 4 : 3;
    rowBytes = channels * bitmap.width();
    pixels.resize(rowBytes * bitmap.height());
    for (int y = 0; y < bitmap.height(); ++y)
      for (int x = 0; x < bitmap.width(); ++x) {
        std::uint32_t argb = bitmap.pixel(x, y);  // unpremultiplied
        std::uint8_t* out = &pixels[y * rowBytes + x * channels];
        out[0] = argb & 0xFF;
        out[1] = (argb >> 8) & 0xFF;
        out[2] = (argb >> 16) & 0xFF;
        if (alpha) out[3] = argb >> 24;
      }
  }
  png_alloc_size_t size = 0;
  auto stride = static_cast<png_int_32>(rowBytes);
  if (!png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), stride, nullptr))
    return std::nullopt;
  Bytes bytes(size);
  if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, pixels.data(), stride, nullptr))
    return std::nullopt;
  bytes.resize(size);
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
