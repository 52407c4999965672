#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Content/ContentName.h"
#include "Foundation/Value.h"
#include "GeneralTools/DispatchTaskDownload.h"

// One exchange of the content protocol, as a download task: the server list from a directory
// server, the catalog (whole or as a difference) from a content server, or one content file.
// Every URL is a base URL followed directly by the query; values go in unescaped. The answer
// is decoded when the transfer ends, before the completion runs: JSON (inflated first when the
// server says "Content-Encoding: application/gzip") or a PNG/JPEG picture.
class ContentServiceRequest : public DispatchTaskDownload {
 public:
  // Server list from the directory server that matches the screen (tall or standard).
  static std::shared_ptr<ContentServiceRequest> RequestServersURLsWithCompleteBlock(Block complete);
  // Catalog: "?act=list", plus "&dif=<old version>" when the client has a list version.
  static std::shared_ptr<ContentServiceRequest> RequestListWithOldVersion(
      const std::optional<std::string>& oldVersion, const std::string& serverURL, Block complete);
  // One file: "?act=get&ver=<version>&n=<name>".
  // With `toFile`, the answer is streamed into that file instead of memory.
  static std::shared_ptr<ContentServiceRequest> RequestGetWithVersion(
      const std::string& version, const std::string& name, const std::string& serverURL,
      Block complete, const std::optional<std::string>& toFile = std::nullopt);

  // Applies a catalog answer to a catalog map (file name -> version): "curList" replaces the
  // map, then "diff" adds "new" and "chg" names and removes "del" names, all at "ver". An answer
  // that is not an object, lists names without a string "ver", or has members of the wrong
  // types changes nothing; entries that are not strings, or not safe as file names, are skipped.
  // Returns whether the answer was applied.
  static bool applyChanges(ContentName::VersionMap& map, const platform::Value& changes);

  // The base URLs of the two directory servers (compiled-in configuration sets them).
  static void setDirectoryServerURLs(std::string standardScreen, std::string tallScreen);
  static std::string directoryServerURL(bool tallScreen);
  // The largest content file taken (compiled-in configuration sets it; 32 MiB until then).
  // Server lists and catalogues are limited as their inflation is.
  static void setMaximumFileSize(std::int64_t bytes);
  static std::int64_t maximumFileSize();

  // The decoded answer: an array or dictionary for JSON, an image object for pictures, null
  // otherwise. Read it in the completion. A picture is decoded when first asked for, since
  // the catalogue only stores file answers.
  const platform::Value& result() const;

  void finishNetworkTask() override;

 private:
  ContentServiceRequest(std::string url, Block complete, std::optional<std::string> toFile);
  static std::shared_ptr<ContentServiceRequest> make(
      std::string url, Block complete, std::optional<std::string> toFile = std::nullopt);
  void decodeAnswer();

  mutable platform::Value _result;
  mutable bool _pictureUndecoded = false;
};
