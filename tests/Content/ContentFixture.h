#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "Content/ContentControl.h"
#include "Foundation/Bundle.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/FileManager.h"
#include "Foundation/NotificationCenter.h"
#include "GeneralTools/DataSource.h"
#include "GeneralTools/Tools.h"
#include "Graphics/Bitmap.h"
#include "Graphics/BitmapContext.h"
#include "Graphics/Image.h"
#include "Graphics/ImageEncoder.h"
#include "Imaging/ImageCache.h"
#include "TestSupport.h"

namespace content_testing {

// A device for one test: a temporary app container, an application bundle holding the real
// loading picture and default masks plus the resource files a test asks for, a 3.5-inch phone
// at scale 2, and no catalogue in the settings.
class ContentFixture {
 public:
  explicit ContentFixture(platform::DeviceProfile profile = platform::DeviceProfile::phone35(2))
      : _profile(std::move(profile)) {
    for (const char* name :
         {"Info.plist", "loading_page.png", "loading_page@2x.png", "tbframe_mask.jpg",
          "tbframe_mask@2x.jpg", "tbframe_iph5_mask.jpg", "tbframe_iph5_mask@2x.jpg"}) {
      std::filesystem::copy_file(std::string(PICTAVIA_RESOURCES_DIR) + "/" + name,
                                 _bundle.file(name));
    }
    platform::Bundle::setMainBundlePath(_bundle.path());
    Tools::Instance().setDefaultBundle(platform::Bundle::mainBundle());
    reset();
  }
  ~ContentFixture() {
    reset();
    platform::Bundle::setMainBundlePath(std::nullopt);
    Tools::Instance().setDefaultBundle(platform::Bundle::mainBundle());
  }

  // The retry timers waiting on the loop, not counting a settings save that waits.
  static size_t pendingRetries() {
    return platform::RunLoop::main().pendingTimerCount() - DataSource::source().hasPendingSave();
  }

  // Forgets the shared catalogue and cached pictures (a new process, as far as they go); a save
  // still waiting goes to the container it was asked for.
  static void reset() {
    if (DataSource::source().hasPendingSave()) DataSource::source().saveData();
    DataSource::data().erase(ContentControl::kArchiveKey);
    DataSource::data().erase(ContentControl::kCurrentServerContentVersionDataSourceKey);
    ImageCache::Instance().cleanCache();
  }

  std::string resourcePath(const std::string& name) const { return _bundle.file(name); }
  std::string contentPath(const std::string& name) const {
    return container.root() + "/Library/Application Support/" + ContentControl::kContentFolderName +
           "/" + name;
  }

  testing_support::ScopedAppContainer container;

 private:
  testing_support::TemporaryDirectory _bundle;
  testing_support::ScopedDeviceProfile _profile;
};

// Counts the catalogue's notifications, from any controller.
struct Notifications {
  int newContent = 0;
  int finished = 0;
  Notifications() {
    auto& center = platform::NotificationCenter::defaultCenter();
    center.addObserver(this, ContentControl::kContentControlHasNewContent, nullptr,
                       [this](const platform::Notification&) { ++newContent; });
    center.addObserver(this, ContentControl::kContentControlUpdateFinished, nullptr,
                       [this](const platform::Notification&) { ++finished; });
  }
  ~Notifications() { platform::NotificationCenter::defaultCenter().removeObserver(this); }
  Notifications(const Notifications&) = delete;
  Notifications& operator=(const Notifications&) = delete;
};

// A picture file of one colour (ARGB), `width` × `height` pixels.
inline platform::Bytes pictureBytes(int width, int height, std::uint32_t argb, bool jpeg = false) {
  auto bitmap = platform::Bitmap::create(width, height, platform::PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<std::uint32_t*>(bitmap->row(y));
    for (int x = 0; x < width; ++x) row[x] = argb;
  }
  auto image = platform::Image::imageWithBitmap(bitmap);
  return *(jpeg ? platform::ImageEncoder::jpegData(*image)
                : platform::ImageEncoder::pngData(*image));
}

inline void writeFile(const std::string& path, const platform::Bytes& bytes) {
  testing_support::writeTextFile(path, std::string(bytes.begin(), bytes.end()));
}

// The alpha of the pixel at (x, y) of an image's stored pixels.
inline int alphaAt(const platform::Image& image, int x, int y) {
  const platform::Bitmap& bitmap = image.bitmap();
  if (bitmap.format() != platform::PixelFormat::ARGB32Premultiplied) return 255;
  return reinterpret_cast<const std::uint32_t*>(bitmap.row(y))[x] >> 24;
}

}  // namespace content_testing
