#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ArtItem.h"
#include "Foundation/Value.h"

// Draws items and writes their files into a pack folder, named by the content-name grammar:
// the full picture for the 320x480-point screen and its "_iph5" variant for the 320x568 one,
// at scale 2, their "_mask" JPEGs where the format has them, and one "_small" preview.
class ArtWriter {
 public:
  static constexpr double kScale = 2;
  static constexpr platform::Size kScreen{320, 480};
  static constexpr platform::Size kTallScreen{320, 568};
  // Preview pictures in pixels: full-screen art keeps the screen's proportions.
  static constexpr int kPreviewWidth = 150, kPreviewHeight = 225;
  static constexpr int kCentredPreviewSide = 160;

  explicit ArtWriter(std::string folder) : _folder(std::move(folder)) {}

  // False, with a message on standard error, when a picture could not be drawn or written.
  bool write(const ArtItem& item);
  // The default top/bottom-frame masks as the application's resources name them.
  bool writeDefaultMasks();

  // The file names written so far.
  const std::vector<std::string>& written() const { return _written; }

 private:
  bool writeFull(const ArtItem& item, platform::Size screen, const std::string& suffix);
  bool writePreview(const ArtItem& item);
  bool save(const std::string& name, const std::optional<platform::Bytes>& data);

  std::string _folder;
  std::vector<std::string> _written;
};
