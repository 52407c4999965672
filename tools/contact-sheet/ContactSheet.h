#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Graphics/Image.h"
#include "PackFolder.h"

// Draws every item of a pack on one picture, laid out by SheetLayout: full pictures over a sample
// photo (backgrounds alone), previews over a checkerboard so that transparency shows, the states
// of vector items, and the names. Items that render no picture get a crossed-out cell and are
// reported in `failures`.
class ContactSheet {
 public:
  ContactSheet(const PackFolder& folder, bool tallScreen,
               std::shared_ptr<platform::Image> defaultMask)
      : _folder(folder), _tallScreen(tallScreen), _defaultMask(std::move(defaultMask)) {}

  // Null when the canvas cannot be made. Runs with the current device profile.
  std::shared_ptr<platform::Image> render();
  const std::vector<std::string>& failures() const { return _failures; }

 private:
  const PackFolder& _folder;
  bool _tallScreen;
  std::shared_ptr<platform::Image> _defaultMask;
  std::vector<std::string> _failures;
};
