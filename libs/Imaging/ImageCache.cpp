#include "Imaging/ImageCache.h"

#include <mutex>

ImageCache& ImageCache::Instance() {
  static std::mutex classLock;
  static ImageCache* instance = nullptr;  // lives until the process ends
  std::lock_guard lock(classLock);
  if (!instance) instance = new ImageCache();
  return *instance;
}

ImageCache::ImageCache() = default;

std::shared_ptr<platform::Image> ImageCache::imageWithKeyName(std::string_view key) {
  std::shared_ptr<platform::Image> image;
  _cache_queue.sync([&] {
    auto it = _cache.find(key);
    if (it != _cache.end()) image = it->second;
  });
  return image;
}

void ImageCache::cachImage(std::shared_ptr<platform::Image> image, std::string_view key) {
  if (!image) return;
  _cache_queue.sync([&] { _cache.insert_or_assign(std::string(key), std::move(image)); });
}

void ImageCache::cachImage(const platform::Value& value, std::string_view key) {
  cachImage(value.objectAs<platform::Image>(), key);
}

void ImageCache::clearImageWithKeyName(std::string_view key) {
  std::shared_ptr<platform::Image> forgotten;  // released outside the queue
  _cache_queue.sync([&] {
    auto it = _cache.find(key);
    if (it == _cache.end()) return;
    forgotten = std::move(it->second);
    _cache.erase(it);
  });
}

void ImageCache::cleanCache() {
  std::map<std::string, std::shared_ptr<platform::Image>, std::less<>> forgotten;
  _cache_queue.sync([&] { forgotten.swap(_cache); });
}

size_t ImageCache::count() {
  size_t n = 0;
  _cache_queue.sync([&] { n = _cache.size(); });
  return n;
}
