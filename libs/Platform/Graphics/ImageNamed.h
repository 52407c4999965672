#pragma once

#include <memory>
#include <string>

#include "Foundation/Bundle.h"
#include "Graphics/Image.h"

namespace platform {

// A picture of the bundle by name ("btn.png" or "btn"): on a screen of scale 2 the "@2x"
// variant is taken when there is one, with scale 2. Null when there is none or it does not
// decode. The main bundle when `bundle` is null.
std::shared_ptr<Image> imageNamed(const std::string& name, const Bundle* bundle = nullptr);

}  // namespace platform
