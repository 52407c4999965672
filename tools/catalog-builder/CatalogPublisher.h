#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CatalogDifference.h"

// Publishes a folder of content files as the next version of a catalogue folder.
class CatalogPublisher {
 public:
  struct Report {
    int version = 0;
    CatalogDifference difference;  // all files against the previous version
    std::vector<std::pair<std::string, std::string>> skipped;  // entry name, reason
    size_t standardCount = 0;
    size_t tallCount = 0;
  };

  // Every regular file of `contentFolder` whose name is content becomes part of the new version
  // (the first is 1; publishing unchanged content still makes a version). Other entries are
  // skipped and reported. `catalogFolder` is created when its parent exists. On failure the
  // catalogue still answers as before (at worst unreferenced objects remain) and `error` says
  // why. Publishes into one folder are serialized by a lock file inside it.
  static std::optional<Report> publish(const std::string& contentFolder,
                                       const std::string& catalogFolder, std::string& error);

  // Why a file name cannot be published, or empty when it can: it must be a safe file name of
  // characters that go into a URL query unescaped, with a content type prefix and an extension
  // of svgpb, png, jpg or jpeg.
  static std::string rejectionReason(std::string_view name);
};
