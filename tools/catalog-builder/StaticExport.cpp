#include "StaticExport.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "Catalog.h"
#include "CatalogAnswers.h"
#include "Foundation/FileManager.h"
#include "NginxConfig.h"

namespace fs = std::filesystem;
using platform::FileManager;

namespace {

class ExportWriter {
 public:
  ExportWriter(const Catalog& catalog, std::string root, const StaticExport::Options& options)
      : _catalog(catalog), _root(std::move(root)), _options(options) {}

  bool writeKind(ScreenKind kind) {
    std::string kindFolder = _root + "/" + std::string(ScreenKinds::pathName(kind));
    std::vector<std::string> roots{_options.baseURL};
    roots.insert(roots.end(), _options.extraNodes.begin(), _options.extraNodes.end());
    if (!writeAnswer(kindFolder + "/nodes", CatalogAnswers::nodes(roots, kind)) ||
        !writeAnswer(kindFolder + "/list/full", CatalogAnswers::fullList(_catalog.current(), kind)))
      return false;
    const CatalogManifest& current = _catalog.current();
    for (const std::string& name : current.names(kind)) {
      if (!copyObject(*current.hashOf(kind, name), kindFolder + "/get/current/" + name))
        return false;
    }
    for (int version = 1; version <= _catalog.currentVersion(); ++version) {
      const CatalogManifest& then = *_catalog.manifest(version);
      std::string prefix = kindFolder + "/list/" + std::to_string(version);
      if (!writeAnswer(prefix, CatalogAnswers::difference(then, current, kind))) return false;
      for (const std::string& name : then.names(kind)) {
        const std::string* hash = then.hashOf(kind, name);
        const std::string* now = current.hashOf(kind, name);
        if (now && *now == *hash) continue;  // the current file answers
        std::string path = kindFolder + "/get/" + std::to_string(version) + "/" + name;
        if (!copyObject(*hash, path)) return false;
      }
    }
    return true;
  }

  const std::string& error() const { return _error; }
  StaticExport::Report report() const { return _report; }

 private:
  bool writeAnswer(const std::string& pathWithoutSuffix, const platform::Value& value) {
    auto answer = AnswerEncoding::encodeJSON(value, _options.gzipThreshold);
    if (!answer) return fail(pathWithoutSuffix + ": answer cannot be encoded");
    ++_report.answerFiles;
    std::string path = pathWithoutSuffix + (answer->gzip ? ".jsongz" : ".json");
    return writeFile(path, answer->body);
  }

  bool copyObject(const std::string& hash, const std::string& path) {
    auto data = FileManager::contentsAtPath(_catalog.folder().objectPath(hash));
    if (!data) return fail(_catalog.folder().objectPath(hash) + ": cannot be read");
    ++_report.contentFiles;
    return writeFile(path, *data);
  }

  bool writeFile(const std::string& path, const platform::Bytes& data) {
    std::error_code ignored;
    fs::create_directories(fs::path(path).parent_path(), ignored);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(data.data()),
               static_cast<std::streamsize>(data.size()));
    file.close();
    return file ? true : fail(path + ": cannot be written");
  }

  bool fail(std::string message) {
    _error = std::move(message);
    return false;
  }

  const Catalog& _catalog;
  std::string _root;
  const StaticExport::Options& _options;
  StaticExport::Report _report;
  std::string _error;
};

bool isReplaceable(const std::string& folder) {
  std::error_code error;
  if (!fs::exists(folder, error)) return true;
  if (!fs::is_directory(folder, error)) return false;
  return fs::is_empty(folder, error) ||
         fs::exists(fs::path(folder) / StaticExport::kMarkerName, error);
}

}  // namespace

std::optional<StaticExport::Report> StaticExport::write(const std::string& catalogFolder,
                                                        const std::string& outFolder,
                                                        const Options& options,
                                                        std::string& error) {
  if (options.baseURL.empty()) {
    error = "no base URL given";
    return std::nullopt;
  }
  auto catalog = Catalog::open(catalogFolder, error);
  if (!catalog) return std::nullopt;
  std::string target = fs::path(outFolder).lexically_normal().string();
  while (target.size() > 1 && target.ends_with('/')) target.pop_back();
  if (!isReplaceable(target)) {
    error = outFolder + ": exists and is not an earlier export; not replacing it";
    return std::nullopt;
  }
  std::string staging = target + ".partial-XXXXXX";
  if (!mkdtemp(staging.data())) {
    error = outFolder + ": cannot create a folder beside it";
    return std::nullopt;
  }
  std::error_code ignored;
  auto discard = [&](const std::string& folder) { fs::remove_all(folder, ignored); };

  ExportWriter writer(*catalog, staging, options);
  for (ScreenKind kind : ScreenKinds::kAll) {
    if (!writer.writeKind(kind)) {
      error = writer.error();
      discard(staging);
      return std::nullopt;
    }
  }
  std::string config = NginxConfig::sample(fs::absolute(target, ignored).string());
  std::ofstream(staging + "/" + kNginxConfigName) << config;
  std::ofstream(staging + "/" + kMarkerName)
      << "catalog " << catalog->identifier() << " version " << catalog->currentVersion() << "\n";
  fs::permissions(staging,
                  fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                      fs::perms::others_read | fs::perms::others_exec,
                  ignored);

  // The old export moves aside first so the new one appears in one rename.
  std::string old;
  if (fs::exists(target, ignored)) {
    old = target + ".old-XXXXXX";
    if (!mkdtemp(old.data()) || rename(target.c_str(), (old + "/export").c_str()) != 0) {
      error = outFolder + ": cannot move the earlier export aside";
      discard(staging);
      if (!old.empty()) discard(old);
      return std::nullopt;
    }
  }
  if (rename(staging.c_str(), target.c_str()) != 0) {
    error = outFolder + ": cannot be created";
    if (!old.empty()) rename((old + "/export").c_str(), target.c_str());
    discard(staging);
    if (!old.empty()) discard(old);
    return std::nullopt;
  }
  if (!old.empty()) discard(old);
  return writer.report();
}
