#include <gtest/gtest.h>
#include <sqlite3.h>

#include <atomic>
#include <memory>
#include <thread>

#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Network/URLCache.h"
#include "TestSupport.h"

using namespace platform;
using testing_support::ConsoleCapture;
using testing_support::TemporaryDirectory;

namespace {

CachedURLResponse makeResponse(const std::string& url, std::size_t bodySize,
                               std::uint8_t fill = 'x') {
  CachedURLResponse response;
  response.url = url;
  response.statusCode = 200;
  response.headers = {{"Content-Type", "image/png"}};
  response.mimeType = "image/png";
  response.expectedContentLength = static_cast<std::int64_t>(bodySize);
  response.data = Bytes(bodySize, fill);
  return response;
}

// Runs one statement with no parameters on the cache file, as another program would.
void execOnFile(const std::string& path, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  char* error = nullptr;
  int code = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
  std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(code, SQLITE_OK) << message;
}

// URLs of one length, so that equal bodies cost the same.
std::string numbered(std::size_t i) {
  char buffer[32];
  snprintf(buffer, sizeof buffer, "http://host/%03zu", i);
  return buffer;
}

}  // namespace

TEST(URLCacheTest, EveryFieldSurvivesANewInstanceOnTheSameFile) {
  TemporaryDirectory directory;
  std::string path = directory.file("nested/folder/URLCache.sqlite");
  CachedURLResponse response;
  response.url = "http://127.0.0.1:8080/icons/app@2x.png?x=1";
  response.statusCode = 203;
  response.headers = {{"Content-TYPE", "image/png"},
                      {"X-Empty", ""},
                      {"ETag", "\"a\0b\""},
                      {"x-custom", "1"},
                      {"X-Custom", "2"}};
  response.mimeType = "image/png";
  response.expectedContentLength = -1;
  response.data = Bytes{0, 1, 2, 255, 0, 7};
  double before = Date::now().timeIntervalSince1970;
  {
    URLCache cache(1'048'576, 10'485'760, path);
    ASSERT_TRUE(cache.hasDiskStore());
    cache.storeCachedResponse(response);
    EXPECT_EQ(cache.currentDiskUsage(), URLCache::costOfResponse(response));
    EXPECT_EQ(cache.currentMemoryUsage(), URLCache::costOfResponse(response));
  }
  double after = Date::now().timeIntervalSince1970;
  ASSERT_TRUE(FileManager::fileExistsAtPath(path));

  URLCache reopened(1'048'576, 10'485'760, path);
  EXPECT_EQ(reopened.currentDiskUsage(), URLCache::costOfResponse(response));
  EXPECT_EQ(reopened.currentMemoryUsage(), 0u);
  auto found = reopened.cachedResponseForURL(response.url);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->url, response.url);
  EXPECT_EQ(found->statusCode, 203);
  EXPECT_EQ(found->headers, response.headers);  // in the received spelling and order
  // Lookup ignores case; the first of repeated fields answers.
  EXPECT_EQ(found->valueForHTTPHeaderField("content-type"), "image/png");
  EXPECT_EQ(found->valueForHTTPHeaderField("X-CUSTOM"), "1");
  EXPECT_EQ(found->valueForHTTPHeaderField("Content-Typ"), std::nullopt);
  EXPECT_EQ(found->mimeType, "image/png");
  EXPECT_EQ(found->expectedContentLength, -1);
  EXPECT_EQ(found->data, response.data);
  EXPECT_GE(found->storedDate.timeIntervalSince1970, before);
  EXPECT_LE(found->storedDate.timeIntervalSince1970, after);
  // The hit is now also held in memory.
  EXPECT_EQ(reopened.currentMemoryUsage(), URLCache::costOfResponse(response));
  EXPECT_FALSE(reopened.cachedResponseForURL("http://127.0.0.1:8080/icons/app.png"));
}

// Each tier holds as many same-sized entries as fit and drops the least recently used first;
// the disk tier keeps the order of use across instances.
TEST(URLCacheTest, EachTierEvictsTheLeastRecentlyUsed) {
  TemporaryDirectory directory;
  const std::size_t capacity = 40'000;
  const std::size_t cost = URLCache::costOfResponse(makeResponse(numbered(0), 1'500));
  ASSERT_LE(cost * 20, capacity);
  const std::size_t fitting = capacity / cost;
  for (bool disk : {false, true}) {
    SCOPED_TRACE(disk ? "disk" : "memory");
    std::string path = disk ? directory.file("cache.sqlite") : "";
    auto open = [&] {
      return std::make_unique<URLCache>(disk ? 0 : capacity, disk ? capacity : 0, path);
    };
    auto cache = open();
    EXPECT_EQ(cache->hasDiskStore(), disk);
    for (std::size_t i = 0; i < fitting; ++i)
      cache->storeCachedResponse(makeResponse(numbered(i), 1'500));
    auto usage = [&] { return disk ? cache->currentDiskUsage() : cache->currentMemoryUsage(); };
    EXPECT_EQ(usage(), fitting * cost);
    ASSERT_TRUE(cache->cachedResponseForURL(numbered(0)));
    if (disk) {
      EXPECT_EQ(cache->currentMemoryUsage(), 0u);
      cache.reset();  // closed before it is opened again
      cache = open();
      EXPECT_EQ(usage(), fitting * cost);
    }
    ASSERT_TRUE(cache->cachedResponseForURL(numbered(1)));
    // Order of use is now 2, 3, ..., 0, 1: two new entries push out 2 and 3.
    cache->storeCachedResponse(makeResponse(numbered(901), 1'500));
    cache->storeCachedResponse(makeResponse(numbered(902), 1'500));
    EXPECT_EQ(usage(), fitting * cost);
    EXPECT_FALSE(cache->cachedResponseForURL(numbered(2)));
    EXPECT_FALSE(cache->cachedResponseForURL(numbered(3)));
    for (std::size_t kept : {0, 1, 4, 901, 902})
      EXPECT_TRUE(cache->cachedResponseForURL(numbered(kept))) << kept;
  }
}

TEST(URLCacheTest, AResponseOverFivePercentOfATierStaysOutOfThatTier) {
  TemporaryDirectory directory;
  const std::size_t memoryCapacity = 20'000;  // 5%: 1,000
  const std::size_t diskCapacity = 200'000;   // 5%: 10,000
  URLCache cache(memoryCapacity, diskCapacity, directory.file("cache.sqlite"));
  auto sized = [](const std::string& url, std::size_t cost) {
    auto response = makeResponse(url, 0);
    response.data = Bytes(cost - URLCache::costOfResponse(response), 'b');
    return response;
  };
  cache.storeCachedResponse(sized("http://host/at-memory-limit", 1'000));
  EXPECT_EQ(cache.currentMemoryUsage(), 1'000u);
  cache.storeCachedResponse(sized("http://host/over-memory-limit", 1'001));
  EXPECT_EQ(cache.currentMemoryUsage(), 1'000u);
  EXPECT_EQ(cache.currentDiskUsage(), 2'001u);
  cache.storeCachedResponse(sized("http://host/at-disk-limit", 10'000));
  cache.storeCachedResponse(sized("http://host/over-disk-limit", 10'001));
  EXPECT_EQ(cache.currentMemoryUsage(), 1'000u);
  EXPECT_EQ(cache.currentDiskUsage(), 12'001u);
  EXPECT_TRUE(cache.cachedResponseForURL("http://host/at-disk-limit"));
  EXPECT_FALSE(cache.cachedResponseForURL("http://host/over-disk-limit"));

  // A replacement too large for both tiers removes what was stored for its URL.
  cache.storeCachedResponse(sized("http://host/at-memory-limit", 10'001));
  EXPECT_FALSE(cache.cachedResponseForURL("http://host/at-memory-limit"));
  EXPECT_EQ(cache.currentMemoryUsage(), 0u);
  EXPECT_EQ(cache.currentDiskUsage(), 11'001u);
}

TEST(URLCacheTest, ReplacingRemovingAndZeroCapacities) {
  TemporaryDirectory directory;
  std::string path = directory.file("cache.sqlite");
  const std::size_t cost = URLCache::costOfResponse(makeResponse("http://host/a", 100));
  {
    URLCache cache(100'000, 100'000, path);
    cache.storeCachedResponse(makeResponse("http://host/a", 300, 'a'));
    for (const char* url : {"http://host/a", "http://host/b", "http://host/c"})
      cache.storeCachedResponse(makeResponse(url, 100));  // replaces the first "a"
    EXPECT_EQ(cache.cachedResponseForURL("http://host/a")->data, Bytes(100, 'x'));
    cache.removeCachedResponseForURL("http://host/b");
    cache.removeCachedResponseForURL("http://host/missing");
    EXPECT_EQ(cache.currentMemoryUsage(), 2 * cost);
    EXPECT_EQ(cache.currentDiskUsage(), 2 * cost);
    EXPECT_FALSE(cache.cachedResponseForURL("http://host/b"));
  }
  {
    URLCache cache(100'000, 100'000, path);
    EXPECT_FALSE(cache.cachedResponseForURL("http://host/b"));
    EXPECT_TRUE(cache.cachedResponseForURL("http://host/c"));
    cache.removeAllCachedResponses();
    EXPECT_EQ(cache.currentMemoryUsage(), 0u);
    EXPECT_FALSE(cache.cachedResponseForURL("http://host/a"));
  }
  EXPECT_EQ(URLCache(100'000, 100'000, path).currentDiskUsage(), 0u);

  URLCache none(0, 0, path);
  none.storeCachedResponse(makeResponse("http://host/a", 0));
  EXPECT_EQ(none.currentMemoryUsage() + none.currentDiskUsage(), 0u);
  EXPECT_FALSE(none.cachedResponseForURL("http://host/a"));
  EXPECT_EQ(URLCache(100'000, 100'000, path).currentDiskUsage(), 0u);
}

TEST(URLCacheTest, ADamagedOrForeignFileIsSetAsideAndTheCacheStillWorks) {
  const Bytes garbage(4096, 0xA5);
  for (bool foreign : {false, true}) {
    SCOPED_TRACE(foreign ? "another program's database" : "garbage");
    TemporaryDirectory directory;
    std::string path = directory.file("cache.sqlite");
    if (foreign) {
      execOnFile(path, "CREATE TABLE responses (url TEXT, something TEXT)");
    } else {
      ASSERT_TRUE(AtomicFile::write(path, garbage));
    }
    ConsoleCapture console;
    {
      URLCache cache(100'000, 100'000, path);
      EXPECT_TRUE(cache.hasDiskStore());
      cache.storeCachedResponse(makeResponse("http://host/a", 100));
    }
    auto lines = console.lines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(path + ".corrupt"), std::string::npos) << lines[0];
    if (!foreign) EXPECT_EQ(FileManager::contentsAtPath(path + ".corrupt"), garbage);
    auto found = URLCache(0, 100'000, path).cachedResponseForURL("http://host/a");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->data, Bytes(100, 'x'));
    EXPECT_EQ(console.lines().size(), 1u);
  }
}

TEST(URLCacheTest, ARowThatDoesNotDecodeIsDeletedAndMisses) {
  TemporaryDirectory directory;
  std::string path = directory.file("cache.sqlite");
  {
    URLCache cache(0, 100'000, path);
    cache.storeCachedResponse(makeResponse("http://host/bad-headers", 100));
    cache.storeCachedResponse(makeResponse("http://host/bad-body", 100));
    cache.storeCachedResponse(makeResponse("http://host/good", 100));
  }
  execOnFile(path, "UPDATE responses SET headers = x'FFFFFFFF01' WHERE url LIKE '%bad-headers'");
  execOnFile(path, "UPDATE responses SET body = 'text' WHERE url LIKE '%bad-body'");
  ConsoleCapture console;
  URLCache cache(0, 100'000, path);
  std::size_t cost = URLCache::costOfResponse(makeResponse("http://host/good", 100));
  EXPECT_FALSE(cache.cachedResponseForURL("http://host/bad-headers"));
  EXPECT_FALSE(cache.cachedResponseForURL("http://host/bad-body"));
  EXPECT_TRUE(cache.cachedResponseForURL("http://host/good"));
  EXPECT_EQ(console.lines().size(), 2u);
  EXPECT_EQ(cache.currentDiskUsage(), cost);
  EXPECT_EQ(URLCache(0, 100'000, path).currentDiskUsage(), cost);
}

TEST(URLCacheTest, FourThreadsStoreAndLookUpAtOnce) {
  TemporaryDirectory directory;
  const std::size_t memoryCapacity = 40'000;
  const std::size_t diskCapacity = 80'000;
  URLCache cache(memoryCapacity, diskCapacity, directory.file("cache.sqlite"));
  std::atomic<int> mismatches{0};
  std::atomic<int> hits{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 60; ++i) {
        std::string url = "http://host/" + std::to_string(t) + "/" + std::to_string(i % 20);
        auto fill = static_cast<std::uint8_t>(t * 20 + i % 20);
        cache.storeCachedResponse(makeResponse(url, 200 + i % 7 * 100, fill));
        if (auto found = cache.cachedResponseForURL(url)) {
          ++hits;
          if (found->data.empty() || found->data.front() != fill || found->url != url) ++mismatches;
        }
        cache.cachedResponseForURL("http://host/" + std::to_string((t + 1) % 4) + "/0");
        if (i % 25 == 24) cache.removeCachedResponseForURL(url);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(mismatches.load(), 0);
  EXPECT_EQ(hits.load(), 240);
  EXPECT_LE(cache.currentMemoryUsage(), memoryCapacity);
  EXPECT_LE(cache.currentDiskUsage(), diskCapacity);
  EXPECT_GT(cache.currentDiskUsage(), 0u);
  URLCache reopened(0, diskCapacity, directory.file("cache.sqlite"));
  EXPECT_EQ(reopened.currentDiskUsage(), cache.currentDiskUsage());
}

TEST(URLCacheTest, DefaultPathIsInTheCachesDirectory) {
  {
    testing_support::ScopedAppContainer container;
    auto path = URLCache::defaultPath();
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, container.root() + "/Library/Caches/URLCache.sqlite");
    URLCache cache(1'048'576, 10'485'760, *path);
    EXPECT_TRUE(cache.hasDiskStore());
  }
  testing_support::ScopedEnvironment home("HOME", std::nullopt);
  testing_support::ScopedEnvironment dataHome("XDG_DATA_HOME", std::nullopt);
  EXPECT_EQ(URLCache::defaultPath(), std::nullopt);
}
