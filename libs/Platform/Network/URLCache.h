#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

#include "Network/CachedURLResponse.h"

namespace platform {

// The process's HTTP response cache: a memory tier in front of an SQLite file, each tier keeping
// its most recently used responses within its capacity. Safe from any thread.
class URLCache {
 public:
  // Bytes each entry costs beyond its URL, MIME type, header fields and body.
  static constexpr std::size_t kEntryOverhead = 64;

  // `path` names the SQLite file, created with its folder when missing; an empty path, or one
  // that cannot be opened, leaves the cache with its memory tier only.
  URLCache(std::size_t memoryCapacity, std::size_t diskCapacity, std::string path);
  ~URLCache();
  URLCache(const URLCache&) = delete;
  URLCache& operator=(const URLCache&) = delete;

  // "<caches>/URLCache.sqlite" in the app container, or nothing without a container.
  static std::optional<std::string> defaultPath();

  // The process-wide cache; none until one is set.
  static std::shared_ptr<URLCache> sharedURLCache();
  static void setSharedURLCache(std::shared_ptr<URLCache> cache);

  // What an entry counts against a tier's capacity.
  static std::size_t costOfResponse(const CachedURLResponse& response);

  // Stores the response under its URL, replacing any earlier one, and stamps its stored date.
  void storeCachedResponse(CachedURLResponse response);
  // The response stored for the URL, or none. A hit makes it the most recently used.
  std::shared_ptr<const CachedURLResponse> cachedResponseForURL(const std::string& url);
  void removeCachedResponseForURL(const std::string& url);
  void removeAllCachedResponses();

  std::size_t currentMemoryUsage() const;
  std::size_t currentDiskUsage() const;
  std::size_t memoryCapacity() const { return _memoryCapacity; }
  std::size_t diskCapacity() const { return _diskCapacity; }
  const std::string& path() const { return _path; }
  // Whether the SQLite file is in use.
  bool hasDiskStore() const;

 private:
  class DiskStore;
  using Entry = std::shared_ptr<const CachedURLResponse>;

  void insertInMemory(const Entry& entry, std::size_t cost);
  void removeFromMemory(const std::string& url);

  const std::size_t _memoryCapacity;
  const std::size_t _diskCapacity;
  const std::string _path;

  mutable std::mutex _mutex;
  // Most recently used first.
  std::list<std::pair<Entry, std::size_t>> _memoryOrder;
  std::unordered_map<std::string, std::list<std::pair<Entry, std::size_t>>::iterator> _memoryIndex;
  std::size_t _memoryUsage = 0;
  std::unique_ptr<DiskStore> _disk;
};

}  // namespace platform
