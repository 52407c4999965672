// Decodes arbitrary bytes as a PNG or JPEG picture and re-encodes what decoded.
#include <cstdint>

#include "Graphics/ImageDecoder.h"
#include "Graphics/ImageEncoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  platform::Bytes bytes(data, data + size);
  for (auto image :
       {platform::ImageDecoder::decodePNG(bytes), platform::ImageDecoder::decodeJPEG(bytes)}) {
    if (!image) continue;
    if (image->pixelWidth() * static_cast<std::uint64_t>(image->pixelHeight()) > (1u << 22))
      continue;
    platform::ImageEncoder::pngData(*image);
  }
  return 0;
}
