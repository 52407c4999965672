#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "Dispatch/DispatchQueue.h"
#include "Foundation/Value.h"
#include "Graphics/Image.h"

// The process-wide store of decoded pictures by name. No size bound and no eviction of its own:
// pictures stay until they are forgotten one by one or all at once. Safe from any thread; every
// call returns once its operation is done.
class ImageCache {
 public:
  static ImageCache& Instance();

  // An empty cache with its own queue; the process's one is Instance().
  ImageCache();

  std::shared_ptr<platform::Image> imageWithKeyName(std::string_view key);
  // Stores the image under the key, replacing an earlier one; a missing image is ignored.
  void cachImage(std::shared_ptr<platform::Image> image, std::string_view key);
  // The same for a loosely typed value: anything that is not an image is ignored.
  void cachImage(const platform::Value& value, std::string_view key);
  void clearImageWithKeyName(std::string_view key);
  void cleanCache();
  size_t count();

 private:
  std::map<std::string, std::shared_ptr<platform::Image>, std::less<>> _cache;
  platform::DispatchQueue _cache_queue{"com.quillon.image.cache"};
};
