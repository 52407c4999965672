#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Graphics/Image.h"

namespace platform {

// Saves a picture into the photo album folder as a JPEG named after the time it was saved
// ("IMG_<milliseconds>.jpg"), encoding and writing off the main thread. `completion` runs on
// the main run loop with nothing, or the reason it could not be saved.
using UIImageSaveCompletion = std::function<void(const std::optional<std::string>& error)>;
void UIImageWriteToSavedPhotosAlbum(std::shared_ptr<Image> image, UIImageSaveCompletion completion);

// The album: set by hosts and tests; by default "Pictavia" in the photo library folder.
void setSavedPhotosAlbumDirectory(std::optional<std::string> directory);
std::optional<std::string> savedPhotosAlbumDirectory();

}  // namespace platform
