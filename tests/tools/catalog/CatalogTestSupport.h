#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "CatalogPublisher.h"
#include "TestSupport.h"

namespace catalog_testing {

using testing_support::readTextFile;
using testing_support::writeTextFile;

inline std::string text(const platform::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
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
    for (const auto& [name, contents] : files) writeTextFile(contentFolder() + "/" + name, contents);
  }

  CatalogPublisher::Report publish(const std::map<std::string, std::string>& files) {
    setContent(files);
    std::string error;
    auto report = CatalogPublisher::publish(contentFolder(), catalogFolder(), error);
    EXPECT_TRUE(report) << error;
    return report.value_or(CatalogPublisher::Report{});
  }

  testing_support::TemporaryDirectory _directory;
};

}  // namespace catalog_testing
