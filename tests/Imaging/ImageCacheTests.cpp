#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "Imaging/ImageCache.h"

using namespace platform;

namespace {

std::shared_ptr<Image> picture(int width) {
  return Image::imageWithBitmap(Bitmap::create(width, 1, PixelFormat::RGB24));
}

}  // namespace

TEST(ImageCacheTest, StoresReplacesAndForgets) {
  ImageCache cache;
  EXPECT_FALSE(cache.imageWithKeyName("never stored"));
  auto first = picture(1), second = picture(2);
  cache.cachImage(first, "loading_Image_Key");
  EXPECT_EQ(cache.imageWithKeyName("loading_Image_Key"), first);
  cache.cachImage(second, "loading_Image_Key");
  EXPECT_EQ(cache.imageWithKeyName("loading_Image_Key"), second);

  // Anything that is not an image leaves the stored one alone.
  cache.cachImage(Value("not an image"), "loading_Image_Key");
  cache.cachImage(std::shared_ptr<Image>(), "loading_Image_Key");
  cache.cachImage(Value(), "loading_Image_Key");
  EXPECT_EQ(cache.imageWithKeyName("loading_Image_Key"), second);
  cache.cachImage(Value(first), "tbframe_mask_Image_Key");
  EXPECT_EQ(cache.imageWithKeyName("tbframe_mask_Image_Key"), first);

  cache.clearImageWithKeyName("loading_Image_Key");
  EXPECT_FALSE(cache.imageWithKeyName("loading_Image_Key"));
  EXPECT_EQ(cache.count(), 1u);
}

TEST(ImageCacheTest, SharedSafelyBetweenThreads) {
  ImageCache& cache = ImageCache::Instance();
  std::atomic<int> misses{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int i = 0; i < 500; ++i) {
        std::string key = "item_" + std::to_string(t) + "_" + std::to_string(i % 20);
        auto image = picture(t + 1);
        cache.cachImage(image, key);
        // A store is visible at once to the same thread (others only touch their own keys).
        if (cache.imageWithKeyName(key) != image) ++misses;
        if (i % 50 == 0) cache.clearImageWithKeyName(key);
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(misses, 0);
  EXPECT_EQ(cache.count(), 80u);
  cache.cleanCache();
  EXPECT_EQ(cache.count(), 0u);
}
