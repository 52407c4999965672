#include "Graphics/ExifOrientation.h"

#include <libexif/exif-data.h>

#include <cstring>
#include <memory>

namespace platform {

std::optional<ImageOrientation> ExifOrientation::fromExifValue(int value) {
  // EXIF orientations 1 to 8, in order.
  static constexpr ImageOrientation kByValue[] = {ImageOrientation::Up,
                                                  ImageOrientation::UpMirrored,
                                                  ImageOrientation::Down,
                                                  ImageOrientation::DownMirrored,
                                                  ImageOrientation::LeftMirrored,
                                                  ImageOrientation::Right,
                                                  ImageOrientation::RightMirrored,
                                                  ImageOrientation::Left};
  if (value < 1 || value > 8) return std::nullopt;
  return kByValue[value - 1];
}

std::optional<ImageOrientation> ExifOrientation::fromExifBlock(const std::uint8_t* block,
                                                               size_t size) {
  static const std::uint8_t header[] = {'E', 'x', 'i', 'f', 0, 0};
  if (!block || size < sizeof header || std::memcmp(block, header, sizeof header) != 0)
    return std::nullopt;
  std::unique_ptr<ExifData, void (*)(ExifData*)> exif(exif_data_new(), exif_data_unref);
  if (!exif) return std::nullopt;
  // Read the block as it is: no tags made up to follow the standard, none dropped.
  exif_data_unset_option(exif.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
  exif_data_load_data(exif.get(), block, static_cast<unsigned>(size));
  ExifEntry* entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
  if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2 ||
      !entry->data)
    return std::nullopt;
  return fromExifValue(exif_get_short(entry->data, exif_data_get_byte_order(exif.get())));
}

}  // namespace platform
