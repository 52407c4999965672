#include "UI/UIImageWriteToSavedPhotosAlbum.h"

#include <filesystem>
#include <mutex>

#include "Dispatch/GlobalQueue.h"
#include "Foundation/AtomicFile.h"
#include "Foundation/FileManager.h"
#include "Foundation/RunLoop.h"
#include "Graphics/ImageEncoder.h"
#include "UI/UIImagePickerController.h"

namespace platform {
namespace {

std::mutex albumMutex;

std::optional<std::string>& albumOverride() {
  static std::optional<std::string> directory;
  return directory;
}

}  // namespace

void setSavedPhotosAlbumDirectory(std::optional<std::string> directory) {
  std::lock_guard lock(albumMutex);
  albumOverride() = std::move(directory);
}

std::optional<std::string> savedPhotosAlbumDirectory() {
  {
    std::lock_guard lock(albumMutex);
    if (albumOverride()) return albumOverride();
  }
  auto library = UIImagePickerController::photoLibraryDirectory();
  if (!library) return std::nullopt;
  return *library + "/Pictavia";
}

void UIImageWriteToSavedPhotosAlbum(std::shared_ptr<Image> image,
                                    UIImageSaveCompletion completion) {
  auto album = savedPhotosAlbumDirectory();
  auto report = [completion](std::optional<std::string> error) {
    if (completion) RunLoop::main().post([completion, error] { completion(error); });
  };
  if (!image) {
    report("There is no picture to save.");
    return;
  }
  if (!album) {
    report("There is no photo album folder.");
    return;
  }
  GlobalQueue::defaultPriority().async([image, dir = *album, report] {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
      report("The photo album folder " + dir + " cannot be made: " + ec.message() + ".");
      return;
    }
    auto jpeg = ImageEncoder::jpegData(*image, 0.92);
    if (!jpeg) {
      report("The picture cannot be encoded.");
      return;
    }
    std::string path = dir + "/IMG_" + FileManager::uniqueTimeStamp("_") + ".jpg";
    if (!AtomicFile::write(path, *jpeg)) {
      report("The picture cannot be written to " + path + ".");
      return;
    }
    report(std::nullopt);
  });
}

}  // namespace platform
