#include "Content/ContentItem.h"

#include <algorithm>
#include <cmath>

#include "Content/ContentControl.h"
#include "Content/ContentName.h"
#include "Foundation/DeviceProfile.h"
#include "Foundation/RunLoop.h"
#include "GeneralTools/DispatchTools.h"
#include "GeneralTools/Tools.h"
#include "Graphics/ImageDecoder.h"
#include "Imaging/ImageCache.h"
#include "Imaging/PV_Extensions.h"
#include "SVGView/SVGView.h"

using platform::Image;
using platform::Size;

namespace {

double screenScale() {
  return platform::DeviceProfile::current().scale;
}

// Fits a picture to the screen: never larger than `size` points at the screen's whole-number
// scale, never scaled up, and marked with that scale.
std::shared_ptr<Image> normalised(const std::shared_ptr<Image>& image, Size size) {
  if (!image) return nullptr;
  double scale = std::max(1.0, std::trunc(screenScale()));
  Size target{size.width * scale, size.height * scale};
  auto pixels = Image::imageWithBitmap(image->sharedBitmap(), 1, image->orientation());
  Size own = pixels->size();
  if (own.width > target.width || own.height > target.height)
    pixels = PV_Extensions::imageByScalingProportionallyToSize(pixels, target);
  if (!pixels) return nullptr;
  return Image::imageWithBitmap(pixels->sharedBitmap(), scale, pixels->orientation());
}

std::shared_ptr<Image> cachedOrLoaded(const char* key, std::string_view resource) {
  ImageCache& cache = ImageCache::Instance();
  if (auto image = cache.imageWithKeyName(key)) return image;
  auto image = Tools::hiresImageNamed(resource);
  cache.cachImage(image, key);
  return image;
}

std::vector<std::string> uniqueNames(std::vector<std::string> names) {
  std::vector<std::string> unique;
  unique.reserve(names.size());
  for (auto& name : names) {
    if (std::find(unique.begin(), unique.end(), name) == unique.end())
      unique.push_back(std::move(name));
  }
  if (unique.empty()) unique.emplace_back(ContentName::kEmptyFileName);
  return unique;
}

}  // namespace

ContentItem::ContentItem(std::string name, std::string version, std::vector<std::string> fileNames)
    : _name(std::move(name)),
      _filesNames(uniqueNames(std::move(fileNames))),
      _version(std::move(version)) {}

std::shared_ptr<ContentItem> ContentItem::ContentItemWithName(std::string name, std::string version,
                                                              std::vector<std::string> fileNames) {
  return std::shared_ptr<ContentItem>(
      new ContentItem(std::move(name), std::move(version), std::move(fileNames)));
}

ContentType ContentItem::type() const {
  return ContentName::type(_name);
}

std::shared_ptr<ContentControl> ContentItem::catalog() const {
  if (auto owner = _catalog.lock()) return owner;
  return ContentControl::Instance();
}

bool ContentItem::isBigImagePrepared() const {
  return ImageCache::Instance().imageWithKeyName(bigImageKeyName()) != nullptr;
}

bool ContentItem::isAllContentDownloaded() const {
  return catalog()->isAllContentDownloaded(_filesNames);
}

std::optional<std::string> ContentItem::fileWithSuffixesSmall(bool small, bool mask) const {
  for (const std::string& file : _filesNames) {
    if (ContentName::containsString(file, ContentName::kSmallMarker) == small &&
        ContentName::containsString(file, ContentName::kMaskMarker) == mask)
      return file;
  }
  for (const std::string& file : _filesNames) {
    if (ContentName::containsString(file, ContentName::kMaskMarker) == mask) return file;
  }
  return std::nullopt;
}

std::shared_ptr<Image> ContentItem::loadingImage(Size size) const {
  auto image = cachedOrLoaded(kLoadingImageKey, "loading_page.png");
  if (!image) return nullptr;
  double screen = screenScale();
  Size reference = image->size();
  reference.width /= image->scale() * screen;
  reference.height /= image->scale() * screen;
  if (image->scale() != screen && (reference.width > size.width || reference.height > size.height))
    return PV_Extensions::imageByScalingProportionallyToSize(image, size);
  return image;
}

std::shared_ptr<Image> ContentItem::pictureFromFile(const std::string& file, Size size,
                                                    bool preview) const {
  auto owner = catalog();
  std::optional<std::string> path = owner->fullPathForObjectNamed(file);
  if (!path) return nullptr;
  std::string_view extension = ContentName::pathExtension(file);
  if (extension == "png") return platform::ImageDecoder::imageWithContentsOfFile(*path);
  if (extension == "jpg" || extension == "jpeg") {
    std::shared_ptr<Image> mask;
    if (!preview) {
      if (auto maskFile = fileWithSuffixesSmall(false, true)) {
        if (auto maskPath = owner->fullPathForObjectNamed(*maskFile))
          mask = platform::ImageDecoder::imageWithContentsOfFile(*maskPath);
      }
      if (!mask && file.starts_with("tbframe"))
        mask =
            cachedOrLoaded(kTBFrameMaskImageKey,
                           Tools::isIPhone5Screen() ? "tbframe_iph5_mask.jpg" : "tbframe_mask.jpg");
    }
    auto image = platform::ImageDecoder::imageWithContentsOfFile(*path);
    if (image && mask) return PV_Extensions::imageByMaskingUsingImage(image, mask);
    return image;
  }
  if (extension == "svgpb") return SVGView::imageWithSize(size, *path);
  return nullptr;
}

std::shared_ptr<Image> ContentItem::renderImage(Size size, bool preview) {
  if (!preview) {
    if (!isAllContentDownloaded()) {
      _isBigImageLoadPage = true;
      return loadingImage(size);
    }
    _isBigImageLoadPage = false;
  }
  std::optional<std::string> file = fileWithSuffixesSmall(preview, false);
  if (!file) return nullptr;
  return normalised(pictureFromFile(*file, size, preview), size);
}

std::shared_ptr<DispatchTask> ContentItem::renderImageWithSize(Size size, bool preview,
                                                               DispatchTask::Block complete) {
  std::weak_ptr<ContentItem> weakSelf = weak_from_this();
  return DispatchTask::taskWithExecuteBlock(
      [weakSelf, size, preview](DispatchTask& task) {
        auto self = weakSelf.lock();
        if (!self) return;
        if (auto image = self->renderImage(size, preview))
          task.setObject(platform::Value(image), kRenderedImageKey);
      },
      std::move(complete));
}

void ContentItem::getBigImageWithSize(Size size, ImageBlock complete) {
  getImage(size, false, std::move(complete));
}

void ContentItem::getPreviewImageWithSize(Size size, ImageBlock complete) {
  getImage(size, true, std::move(complete));
}

void ContentItem::getImage(Size size, bool preview, ImageBlock complete) {
  std::string key = preview ? smallImageKeyName() : bigImageKeyName();
  if (auto image = ImageCache::Instance().imageWithKeyName(key)) {
    if (complete) complete(image);
    return;
  }
  Render& render = preview ? _previewRender : _bigRender;
  if (render.task) {
    render.waiting.emplace_back(size, std::move(complete));
    return;
  }
  std::weak_ptr<ContentItem> weakSelf = weak_from_this();
  render.task =
      renderImageWithSize(size, preview, [weakSelf, preview, complete](DispatchTask& task) {
        if (auto self = weakSelf.lock()) self->renderEnded(preview, task, complete);
      });
  if (preview) {
    DispatchTools::Instance().addTask(render.task);
  } else {
    // The picture the user is looking at jumps the queue.
    DispatchTools::Instance().addTaskToQueueBegin(render.task);
  }
}

void ContentItem::renderEnded(bool preview, DispatchTask& task, const ImageBlock& complete) {
  Render& render = preview ? _previewRender : _bigRender;
  auto waiting = std::move(render.waiting);
  render.waiting.clear();
  if (render.task.get() == &task) render.task = nullptr;
  auto image = task.objectForKey(kRenderedImageKey).objectAs<Image>();
  if (task.isCancelled()) {
    // The canceller's completion is dropped; whoever waited asks again and gets a new render.
    for (auto& [size, waiter] : waiting) getImage(size, preview, std::move(waiter));
    return;
  }
  ImageCache::Instance().cachImage(image, preview ? smallImageKeyName() : bigImageKeyName());
  if (complete) complete(image);
  for (auto& [size, waiter] : waiting) {
    if (waiter) waiter(image);
  }
}

void ContentItem::cancelBigImageRenderTask() {
  if (_bigRender.task) _bigRender.task->cancelTask();
}

void ContentItem::cancelPreviewImageRenderTask() {
  if (_previewRender.task) _previewRender.task->cancelTask();
}

void ContentItem::cleanBigImage() {
  ImageCache::Instance().clearImageWithKeyName(bigImageKeyName());
}

void ContentItem::updateVersion() {
  _version = catalog()->versionWithBaseName(_name);
}

std::string ContentItem::description() const {
  std::string files = "(";
  for (size_t i = 0; i < _filesNames.size(); ++i) files += (i ? ", " : "") + _filesNames[i];
  files += ")";
  return "ITEM \nname = " + _name + "\nfilenames = " + files;
}
