#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Content/ContentType.h"
#include "GeneralTools/DispatchTask.h"
#include "Graphics/Geometry.h"
#include "Graphics/Image.h"

class ContentControl;

// One decoration of the catalogue: a base name, its version and its files. The screens ask an
// item for its full picture or its preview at a size; the item renders it on a worker queue,
// keeps it in the shared image cache and hands it back on the main thread. An item whose files
// are not all on the device renders the loading picture instead and remembers that it did.
class ContentItem : public std::enable_shared_from_this<ContentItem> {
 public:
  using ImageBlock = std::function<void(std::shared_ptr<platform::Image> image)>;
  // Where a render task keeps its picture.
  static constexpr const char* kRenderedImageKey = "image";
  static constexpr const char* kLoadingImageKey = "loading_Image_Key";
  static constexpr const char* kTBFrameMaskImageKey = "tbframe_mask_Image_Key";

  // An empty file collection becomes {"empty.png"}; repeated names are kept once.
  static std::shared_ptr<ContentItem> ContentItemWithName(std::string name, std::string version,
                                                          std::vector<std::string> fileNames);

  const std::string& name() const { return _name; }
  ContentType type() const;
  const std::vector<std::string>& filesNames() const { return _filesNames; }
  // Main thread.
  const std::string& version() const { return _version; }
  void setVersion(std::string version) { _version = std::move(version); }
  bool isBigImageLoadPage() const { return _isBigImageLoadPage.load(); }

  std::string bigImageKeyName() const { return "big_Image_Key_" + _name; }
  std::string smallImageKeyName() const { return "small_Image_Key_" + _name; }
  bool isBigImageRendering() const { return _bigRender.task != nullptr; }
  bool isPreviewImageRendering() const { return _previewRender.task != nullptr; }
  bool isBigImagePrepared() const;
  // Whether every file of the item is in the catalogue's local lists.
  bool isAllContentDownloaded() const;

  // The file for one variant: first a name whose "_small" and "_mask" markers both match,
  // then one whose "_mask" marker matches; none otherwise.
  std::optional<std::string> fileWithSuffixesSmall(bool small, bool mask) const;

  // A new local task (not queued) that renders the picture at `size` points and keeps it under
  // kRenderedImageKey.
  std::shared_ptr<DispatchTask> renderImageWithSize(platform::Size size, bool preview,
                                                    DispatchTask::Block complete);
  // Main thread; the completion runs on the main thread, with null when there is no picture.
  void getBigImageWithSize(platform::Size size, ImageBlock complete);
  void getPreviewImageWithSize(platform::Size size, ImageBlock complete);
  void cancelBigImageRenderTask();
  void cancelPreviewImageRenderTask();
  void cleanBigImage();
  // The catalogue's version for the name.
  void updateVersion();
  std::string description() const;

  // The catalogue the item belongs to; without one, the shared catalogue is asked.
  void setCatalog(std::weak_ptr<ContentControl> catalog) { _catalog = std::move(catalog); }

  // The picture itself, as a render task makes it (any thread).
  std::shared_ptr<platform::Image> renderImage(platform::Size size, bool preview);

 private:
  struct Render {
    std::shared_ptr<DispatchTask> task;
    // Requests that came while the task was in flight, with the size each asked for; served
    // with its picture.
    std::vector<std::pair<platform::Size, ImageBlock>> waiting;
  };

  ContentItem(std::string name, std::string version, std::vector<std::string> fileNames);
  std::shared_ptr<ContentControl> catalog() const;
  void getImage(platform::Size size, bool preview, ImageBlock complete);
  void renderEnded(bool preview, DispatchTask& task, const ImageBlock& complete);
  std::shared_ptr<platform::Image> loadingImage(platform::Size size) const;
  std::shared_ptr<platform::Image> pictureFromFile(const std::string& file, platform::Size size,
                                                   bool preview) const;

  const std::string _name;
  std::vector<std::string> _filesNames;
  std::string _version;
  std::atomic<bool> _isBigImageLoadPage{false};
  Render _bigRender;
  Render _previewRender;
  std::weak_ptr<ContentControl> _catalog;
};
