#include "CatalogPublisher.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "Catalog.h"
#include "CatalogFolder.h"
#include "CatalogLock.h"
#include "Content/ContentName.h"
#include "ContentHash.h"
#include "Foundation/FileManager.h"
#include "PublishableFile.h"

using platform::FileManager;

namespace {

constexpr std::array<std::string_view, 4> kExtensions = {"svgpb", "png", "jpg", "jpeg"};

// Names go into "?act=get&...&n=NAME" unescaped, so only characters that a query carries as
// themselves are allowed ('+', '&', '=', '%', '#' and space would all be read differently).
bool isQuerySafe(std::string_view name) {
  return std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("-._~@:;,!").find(c) != std::string_view::npos;
  });
}

bool isDirectory(const std::string& path) {
  bool directory = false;
  return FileManager::fileExistsAtPath(path, &directory) && directory;
}

}  // namespace

std::string CatalogPublisher::rejectionReason(std::string_view name) {
  if (!ContentName::isSafeFileName(name)) return "not a safe file name";
  if (!isQuerySafe(name)) return "has characters that cannot go into a URL query unescaped";
  std::string_view extension = ContentName::pathExtension(name);
  if (std::find(kExtensions.begin(), kExtensions.end(), extension) == kExtensions.end())
    return "extension is not svgpb, png, jpg or jpeg";
  if (ContentName::type(name) == ContentTypeNone)
    return "no content type prefix (fon, tbframe, clipart, frame, face)";
  bool listed = std::any_of(ScreenKinds::kAll.begin(), ScreenKinds::kAll.end(),
                            [&](ScreenKind kind) { return ScreenKinds::admits(kind, name); });
  return listed ? "" : "no screen kind lists it";
}

std::optional<CatalogPublisher::Report> CatalogPublisher::publish(const std::string& contentFolder,
                                                                  const std::string& catalogFolder,
                                                                  std::string& error,
                                                                  const Options& options) {
  if (!isDirectory(contentFolder)) {
    error = contentFolder + ": no such folder";
    return std::nullopt;
  }
  if (!isDirectory(catalogFolder) && !FileManager::createDirectoryAtPath(catalogFolder, false)) {
    error = catalogFolder + ": no such folder, and it cannot be created";
    return std::nullopt;
  }
  CatalogLock lock(FileManager::stringByAppendingPathComponent(catalogFolder, ".lock"));
  if (!lock.locked()) {
    error = catalogFolder + ": cannot lock the catalogue";
    return std::nullopt;
  }
  // The whole history is checked: a damaged catalogue gets no new version on top.
  auto previous = Catalog::open(catalogFolder, error);
  if (!previous) return std::nullopt;
  const CatalogFolder& folder = previous->folder();
  if (!folder.prepare(error)) return std::nullopt;

  auto entries = FileManager::contentsOfDirectoryAtPath(contentFolder);
  if (!entries) {
    error = contentFolder + ": cannot be listed";
    return std::nullopt;
  }
  std::sort(entries->begin(), entries->end());
  // Objects this publish stored; removed again if the version cannot be completed, so that a
  // failed publish leaves nothing behind.
  std::vector<std::string> stored;
  std::error_code ignoredError;
  auto fail = [&]() -> std::optional<Report> {
    for (const std::string& hash : stored)
      std::filesystem::remove(folder.objectPath(hash), ignoredError);
    return std::nullopt;
  };
  Report report;
  CatalogManifest::Files files;
  for (const std::string& name : *entries) {
    if (std::string reason = rejectionReason(name); !reason.empty()) {
      // A link or folder with a content name still says what it is.
      std::string path = FileManager::stringByAppendingPathComponent(contentFolder, name);
      std::error_code ignored;
      auto status = std::filesystem::symlink_status(path, ignored);
      if (std::filesystem::is_symlink(status))
        reason = "a symbolic link; links are not followed";
      else if (!std::filesystem::is_regular_file(status))
        reason = "not a regular file";
      report.skipped.emplace_back(name, reason);
      continue;
    }
    std::string reason;
    auto data =
        PublishableFile::read(FileManager::stringByAppendingPathComponent(contentFolder, name),
                              name, options.checkPictures, reason);
    if (!data) {
      report.skipped.emplace_back(name, reason);
      continue;
    }
    auto hash = ContentHash::sha256Hex(*data);
    if (!hash) {
      error = "cannot hash " + name;
      return fail();
    }
    if (!folder.hasObject(*hash)) {
      if (!folder.writeObject(*hash, *data, error)) return fail();
      stored.push_back(*hash);
    }
    files.emplace(name, std::move(*hash));
  }
  if (options.strict && !report.skipped.empty()) {
    error = "nothing published, as asked when a file is skipped";
    for (const auto& [name, reason] : report.skipped)
      error += "\n  skipped " + name + ": " + reason;
    return fail();
  }

  CatalogFolder::Head head{previous->identifier(), previous->currentVersion() + 1};
  if (head.identifier.empty()) {
    auto identifier = ContentHash::randomIdentifier();
    if (!identifier) {
      error = "cannot make a catalogue identifier";
      return fail();
    }
    head.identifier = *identifier;
  }
  CatalogManifest manifest(head.current, std::move(files));
  // The head goes last: until it names the new version, readers see the previous one.
  if (!folder.writeManifest(manifest, error)) return fail();
  if (!folder.writeHead(head, error)) {
    std::filesystem::remove(folder.manifestPath(manifest.version()), ignoredError);
    return fail();
  }

  report.version = manifest.version();
  report.difference = CatalogDifference::betweenFiles(previous->current(), manifest);
  report.standardCount = manifest.names(ScreenKind::Standard).size();
  report.tallCount = manifest.names(ScreenKind::Tall).size();
  return report;
}
