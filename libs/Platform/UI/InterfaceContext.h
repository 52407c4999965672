#pragma once

#include <memory>
#include <optional>
#include <string>

#include "Foundation/Bundle.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"
#include "Graphics/UIColor.h"

namespace platform {

// What the views of an interface file need while their attributes are applied: the value
// parsers (each fails with a message) and the bundle the file's pictures come from.
class InterfaceContext {
 public:
  explicit InterfaceContext(std::shared_ptr<Bundle> bundle) : _bundle(std::move(bundle)) {}

  // "x y width height" (commas allowed).
  std::optional<Rect> parseRect(const std::string& text, std::string& error) const;
  // "top left bottom right".
  std::optional<EdgeInsets> parseInsets(const std::string& text, std::string& error) const;
  std::optional<double> parseNumber(const std::string& text, std::string& error) const;
  std::optional<int> parseInteger(const std::string& text, std::string& error) const;
  // "YES"/"NO", "true"/"false", "1"/"0".
  std::optional<bool> parseBool(const std::string& text, std::string& error) const;
  std::optional<UIColor> parseColor(const std::string& text, std::string& error) const;
  // A picture of the bundle (see imageNamed); an empty name is no picture, a missing one an
  // error.
  std::optional<std::shared_ptr<Image>> image(const std::string& name, std::string& error) const;

 private:
  std::shared_ptr<Bundle> _bundle;
};

}  // namespace platform
