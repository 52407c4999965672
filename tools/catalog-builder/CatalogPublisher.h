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
  struct Options {
    // Any skipped file fails the publish (nothing is published).
    bool strict = false;
    // PNG and JPEG files must decode. Off only where files are known not to be pictures
    // (bookkeeping tests publish short texts under picture names).
    bool checkPictures = true;
  };

  struct Report {
    int version = 0;
    CatalogDifference difference;  // all files against the previous version
    std::vector<std::pair<std::string, std::string>> skipped;  // entry name, reason
    size_t standardCount = 0;
    size_t tallCount = 0;
  };

  // Every regular file of `contentFolder` whose name is content becomes part of the new version
  // (the first is 1; publishing unchanged content still makes a version). Other entries are
  // skipped and reported with their reason: names that are not content, symbolic links (never
  // followed), files that cannot be read, empty ones, pictures that do not decode (see
  // PublishableFile). `catalogFolder` is created when its parent exists. On failure the
  // catalogue still answers as before, the objects this publish stored are removed again, and
  // `error` says why. Publishes into one folder are serialized by a lock file inside it.
  static std::optional<Report> publish(const std::string& contentFolder,
                                       const std::string& catalogFolder, std::string& error,
                                       const Options& options);
  static std::optional<Report> publish(const std::string& contentFolder,
                                       const std::string& catalogFolder, std::string& error) {
    return publish(contentFolder, catalogFolder, error, Options());
  }

  // Why a file name cannot be published, or empty when it can: it must be a safe file name of
  // characters that go into a URL query unescaped, with a content type prefix and an extension
  // of svgpb, png, jpg or jpeg.
  static std::string rejectionReason(std::string_view name);
};
