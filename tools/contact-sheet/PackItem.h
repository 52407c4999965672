#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Content/ContentType.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

// One item of a pack folder as a device lists it: a base name and the files of that base the
// device accepts. It renders its pictures with the steps the application's content items take:
// a PNG as it is, a JPEG cut by its mask (or, for top/bottom frames, the default mask), a vector
// picture drawn at the requested size, then the result shrunk to fit the screen's pixels.
class PackItem {
 public:
  PackItem(std::string name, std::vector<std::string> filesNames, std::string folder);

  const std::string& name() const { return _name; }
  ContentType type() const;
  const std::vector<std::string>& filesNames() const { return _filesNames; }

  // The file for one variant: first a name whose "_small" and "_mask" markers both match the
  // flags, then one whose "_mask" marker matches; none otherwise.
  std::optional<std::string> fileWithSuffixesSmall(bool small, bool mask) const;

  // The full picture or the preview at `size` points on the current device; null when the file
  // is missing, unreadable or of no known kind. `defaultMask` cuts top/bottom-frame JPEGs that
  // have no mask of their own.
  std::shared_ptr<platform::Image> renderImage(
      platform::Size size, bool preview, const std::shared_ptr<platform::Image>& defaultMask) const;

  // The states the item's vector picture declares; empty for raster items.
  std::vector<int> declaredStates() const;
  // The full vector picture with one state switched on, at `size` points; null for raster items.
  std::shared_ptr<platform::Image> renderState(platform::Size size, int state) const;

  // Fitted into the screen's pixels for `size` points: never enlarged, wrapped at the screen's
  // whole-number scale, orientation kept.
  static std::shared_ptr<platform::Image> fitToScreen(const std::shared_ptr<platform::Image>& image,
                                                      platform::Size size);

 private:
  std::string path(const std::string& file) const { return _folder + "/" + file; }

  std::string _name;
  std::vector<std::string> _filesNames;
  std::string _folder;
};
