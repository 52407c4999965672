#include "SamplePackCatalog.h"

#include <stdlib.h>

#include <filesystem>

#include "Content/ContentControl.h"
#include "Foundation/AppContainer.h"
#include "GalleryPage.h"

namespace fs = std::filesystem;

SamplePackCatalog::SamplePackCatalog(const std::string& packDirectory) {
  std::string pattern = (fs::temp_directory_path() / "pictavia-gallery-XXXXXX").string();
  if (!mkdtemp(pattern.data())) {
    _problem = Gallery::text("_Loc_GalleryNoTemporaryFolder");
    return;
  }
  _container = pattern;
  platform::AppContainer::setRootOverride(_container);
  auto control = ContentControl::Instance();
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(packDirectory, error)) {
    if (!entry.is_regular_file()) continue;
    fs::copy_file(entry.path(), fs::path(control->contentDirPath()) / entry.path().filename(),
                  error);
  }
  control->searchContent();
  for (int type = 0; type < kContentTypeCount; ++type) {
    if (auto items = control->contentItemsForType(static_cast<ContentType>(type)))
      _items.insert(_items.end(), items->begin(), items->end());
  }
  if (_items.empty()) _problem = Gallery::text("_Loc_GalleryNoSamplePack", {packDirectory});
}

SamplePackCatalog::~SamplePackCatalog() {
  if (_container.empty()) return;
  platform::AppContainer::setRootOverride(std::nullopt);
  std::error_code ignored;
  fs::remove_all(_container, ignored);
}
