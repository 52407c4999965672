#pragma once

#include <libexif/exif-data.h>

#include <cstdlib>

#include "Foundation/Value.h"
#include "Graphics/Image.h"
#include "Graphics/ImageEncoder.h"

namespace testing_support {

// The picture as a JPEG file (libjpeg, through the encoder) whose EXIF block (written by
// libexif, in either byte order) holds the orientation tag with `exifValue`, as a camera's.
inline platform::Bytes jpegWithExifOrientation(const platform::Image& picture, int exifValue,
                                               bool bigEndian = false) {
  platform::Bytes jpeg = *platform::ImageEncoder::jpegData(picture);
  ExifData* exif = exif_data_new();
  const ExifByteOrder order = bigEndian ? EXIF_BYTE_ORDER_MOTOROLA : EXIF_BYTE_ORDER_INTEL;
  exif_data_set_byte_order(exif, order);
  ExifEntry* entry = exif_entry_new();
  exif_content_add_entry(exif->ifd[EXIF_IFD_0], entry);
  exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
  exif_set_short(entry->data, order, static_cast<ExifShort>(exifValue));
  exif_entry_unref(entry);
  unsigned char* block = nullptr;
  unsigned int size = 0;
  exif_data_save_data(exif, &block, &size);  // starts with "Exif\0\0"
  exif_data_unref(exif);
  const size_t length = size + 2;
  platform::Bytes app1 = {0xFF, 0xE1, static_cast<std::uint8_t>(length >> 8),
                          static_cast<std::uint8_t>(length)};
  app1.insert(app1.end(), block, block + size);
  std::free(block);
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());  // right after the start marker
  return jpeg;
}

}  // namespace testing_support
