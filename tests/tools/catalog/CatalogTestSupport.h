#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "Catalog.h"
#include "CatalogPublisher.h"
#include "Foundation/Value.h"
#include "Graphics/Bitmap.h"
#include "Graphics/Image.h"
#include "Graphics/ImageEncoder.h"
#include "TestSupport.h"

namespace catalog_testing {

using testing_support::readTextFile;
using testing_support::writeTextFile;

inline std::string text(const platform::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A decodable 4x4 picture of one colour (ARGB): PNG, or JPEG when asked.
inline std::string picture(std::uint32_t argb, bool jpeg = false) {
  auto bitmap = platform::Bitmap::create(4, 4, platform::PixelFormat::ARGB32Premultiplied);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) reinterpret_cast<std::uint32_t*>(bitmap->row(y))[x] = argb;
  auto image = platform::Image::imageWithBitmap(bitmap);
  return text(
      *(jpeg ? platform::ImageEncoder::jpegData(*image) : platform::ImageEncoder::pngData(*image)));
}

// The names listed in a catalogue answer under a member ("curList") or a member of its "diff"
// ("new", "chg", "del").
inline std::vector<std::string> answerNames(const platform::Value& answer,
                                            const std::string& member) {
  const platform::Dictionary& object = *answer.dictionary();
  const platform::Value& value =
      member == "curList"
          ? platform::valueForKey(object, member)
          : platform::valueForKey(*platform::valueForKey(object, "diff").dictionary(), member);
  std::vector<std::string> names;
  for (const platform::Value& entry : *value.array()) names.push_back(*entry.string());
  return names;
}

inline std::string answerVersion(const platform::Value& answer) {
  return *platform::valueForKey(*answer.dictionary(), "ver").string();
}

// Every file under a folder with its contents, to prove that something left it untouched.
inline std::map<std::string, std::string> snapshot(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file())
      files[std::filesystem::relative(entry.path(), folder).string()] = readTextFile(entry.path());
  }
  return files;
}

// A temporary content folder and catalogue folder; each publish makes the content folder hold
// exactly the given files (name -> contents) first.
class CatalogFixture : public ::testing::Test {
 protected:
  std::string contentFolder() const { return _directory.file("content"); }
  std::string catalogFolder() const { return _directory.file("catalog"); }

  void setContent(const std::map<std::string, std::string>& files) {
    std::filesystem::remove_all(contentFolder());
    std::filesystem::create_directories(contentFolder());
    for (const auto& [name, contents] : files)
      writeTextFile(contentFolder() + "/" + name, contents);
  }

  // Short texts stand for the pictures in most tests: they are not decoded.
  static CatalogPublisher::Options texts() {
    CatalogPublisher::Options options;
    options.checkPictures = false;
    return options;
  }

  CatalogPublisher::Report publish(const std::map<std::string, std::string>& files) {
    setContent(files);
    std::string error;
    auto report = CatalogPublisher::publish(contentFolder(), catalogFolder(), error, texts());
    EXPECT_TRUE(report) << error;
    return report.value_or(CatalogPublisher::Report{});
  }

  std::shared_ptr<const Catalog> openCatalog() {
    std::string error;
    auto catalog = Catalog::open(catalogFolder(), error);
    EXPECT_TRUE(catalog) << error;
    return catalog;
  }

  testing_support::TemporaryDirectory _directory;
};

}  // namespace catalog_testing
