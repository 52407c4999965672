#include "PackItem.h"

#include <cmath>

#include "Content/ContentName.h"
#include "Foundation/DeviceProfile.h"
#include "Graphics/ImageDecoder.h"
#include "Imaging/PV_Extensions.h"
#include "SVGView/SVGRenderer.h"

PackItem::PackItem(std::string name, std::vector<std::string> filesNames, std::string folder)
    : _name(std::move(name)), _filesNames(std::move(filesNames)), _folder(std::move(folder)) {}

ContentType PackItem::type() const {
  return ContentName::type(_name);
}

std::optional<std::string> PackItem::fileWithSuffixesSmall(bool small, bool mask) const {
  using ContentName::containsString;
  for (const std::string& file : _filesNames)
    if (containsString(file, ContentName::kSmallMarker) == small &&
        containsString(file, ContentName::kMaskMarker) == mask)
      return file;
  for (const std::string& file : _filesNames)
    if (containsString(file, ContentName::kMaskMarker) == mask) return file;
  return std::nullopt;
}

std::shared_ptr<platform::Image> PackItem::fitToScreen(
    const std::shared_ptr<platform::Image>& image, platform::Size size) {
  if (!image) return nullptr;
  double scale = std::trunc(platform::DeviceProfile::current().scale);
  if (scale < 1) scale = 1;
  platform::Size target{size.width * scale, size.height * scale};
  auto pixels = platform::Image::imageWithBitmap(image->sharedBitmap(), 1, image->orientation());
  if (pixels->size().width > target.width || pixels->size().height > target.height)
    pixels = PV_Extensions::imageByScalingProportionallyToSize(pixels, target);
  return platform::Image::imageWithBitmap(pixels->sharedBitmap(), scale, image->orientation());
}

std::shared_ptr<platform::Image> PackItem::renderImage(
    platform::Size size, bool preview, const std::shared_ptr<platform::Image>& defaultMask) const {
  auto file = fileWithSuffixesSmall(preview, false);
  if (!file) return nullptr;
  std::string_view extension = ContentName::pathExtension(*file);
  std::shared_ptr<platform::Image> image;
  if (extension == "png") {
    image = platform::ImageDecoder::imageWithContentsOfFile(path(*file));
  } else if (extension == "jpg" || extension == "jpeg") {
    std::shared_ptr<platform::Image> mask;
    if (!preview) {
      if (auto maskFile = fileWithSuffixesSmall(false, true))
        mask = platform::ImageDecoder::imageWithContentsOfFile(path(*maskFile));
      if (!mask && file->starts_with("tbframe")) mask = defaultMask;
    }
    image = platform::ImageDecoder::imageWithContentsOfFile(path(*file));
    if (image && mask) image = PV_Extensions::imageByMaskingUsingImage(image, mask);
  } else if (extension == "svgpb") {
    image = SVGRenderer::imageWithSize(size, path(*file));
  }
  return fitToScreen(image, size);
}

std::vector<int> PackItem::declaredStates() const {
  auto file = fileWithSuffixesSmall(false, false);
  if (!file || ContentName::pathExtension(*file) != "svgpb") return {};
  SVGRenderer renderer;
  renderer.load(path(*file));
  return {renderer.declaredStates().begin(), renderer.declaredStates().end()};
}

std::shared_ptr<platform::Image> PackItem::renderState(platform::Size size, int state) const {
  auto file = fileWithSuffixesSmall(false, false);
  if (!file || ContentName::pathExtension(*file) != "svgpb") return nullptr;
  SVGRenderer renderer;
  if (!renderer.load(path(*file))) return nullptr;
  renderer.setStateActive(state);
  double scale = platform::DeviceProfile::current().scale;
  return fitToScreen(
      renderer.renderImage(static_cast<float>(size.width), static_cast<float>(size.height), scale),
      size);
}
