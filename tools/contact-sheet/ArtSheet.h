#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ArtList.h"
#include "Graphics/Image.h"

// Draws every picture of the art list, as built into a bundle folder, on one picture for review:
// each at its pixel size for the chosen scale (large ones shrunk to fit), over a checkerboard so
// that transparency shows, with its file name and size in points; a blank line of the list
// starts a new row. A picture that is missing or not of its listed size gets a crossed-out cell
// and is reported in `failures`.
class ArtSheet {
 public:
  ArtSheet(const ArtList& list, std::string bundleFolder, int scale)
      : _list(list), _bundleFolder(std::move(bundleFolder)), _scale(scale) {}

  // Null when the canvas cannot be made.
  std::shared_ptr<platform::Image> render();
  const std::vector<std::string>& failures() const { return _failures; }

 private:
  const ArtList& _list;
  std::string _bundleFolder;
  int _scale;
  std::vector<std::string> _failures;
};
