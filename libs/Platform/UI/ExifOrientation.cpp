#include "UI/ExifOrientation.h"

#include <cstring>

namespace platform {

std::optional<ImageOrientation> ExifOrientation::fromExifValue(int value) {
  switch (value) {
    case 1:
      return ImageOrientation::Up;
    case 2:
      return ImageOrientation::UpMirrored;
    case 3:
      return ImageOrientation::Down;
    case 4:
      return ImageOrientation::DownMirrored;
    case 5:
      return ImageOrientation::LeftMirrored;
    case 6:
      return ImageOrientation::Right;
    case 7:
      return ImageOrientation::RightMirrored;
    case 8:
      return ImageOrientation::Left;
    default:
      return std::nullopt;
  }
}

std::optional<ImageOrientation> ExifOrientation::read(const Bytes& data) {
  const size_t size = data.size();
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
  size_t pos = 2;
  // Every bound is checked against the segment: the file may lie about any length.
  while (pos + 4 <= size) {
    if (data[pos] != 0xFF) return std::nullopt;
    std::uint8_t marker = data[pos + 1];
    if (marker == 0xD9 || marker == 0xDA) return std::nullopt;  // end, or the pixels begin
    size_t length = (static_cast<size_t>(data[pos + 2]) << 8) | data[pos + 3];
    if (length < 2 || pos + 2 + length > size) return std::nullopt;
    size_t seg = pos + 4, segEnd = pos + 2 + length;
    if (marker == 0xE1 && segEnd - seg >= 14 && std::memcmp(&data[seg], "Exif\0\0", 6) == 0) {
      size_t tiff = seg + 6;
      bool little;
      if (data[tiff] == 'I' && data[tiff + 1] == 'I')
        little = true;
      else if (data[tiff] == 'M' && data[tiff + 1] == 'M')
        little = false;
      else
        return std::nullopt;
      auto u16 = [&](size_t at) -> std::optional<unsigned> {
        if (at + 2 > segEnd) return std::nullopt;
        return little ? data[at] | (data[at + 1] << 8) : (data[at] << 8) | data[at + 1];
      };
      auto u32 = [&](size_t at) -> std::optional<std::uint32_t> {
        auto hi = u16(little ? at + 2 : at), lo = u16(little ? at : at + 2);
        if (!hi || !lo) return std::nullopt;
        return (*hi << 16) | *lo;
      };
      auto magic = u16(tiff + 2);
      auto ifd = u32(tiff + 4);
      if (!magic || *magic != 42 || !ifd) return std::nullopt;
      size_t entries = tiff + *ifd;
      auto count = u16(entries);
      if (!count) return std::nullopt;
      for (unsigned i = 0; i < *count; ++i) {
        size_t entry = entries + 2 + 12 * static_cast<size_t>(i);
        auto tag = u16(entry);
        if (!tag) return std::nullopt;
        if (*tag != 0x0112) continue;
        auto value = u16(entry + 8);
        if (!value) return std::nullopt;
        return fromExifValue(static_cast<int>(*value));
      }
      return std::nullopt;
    }
    pos = segEnd;
  }
  return std::nullopt;
}

}  // namespace platform
