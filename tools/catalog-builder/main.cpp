// Publishes content folders as catalogue versions and exports catalogues as static files.
//
//   catalog-builder publish [--strict] CONTENT_FOLDER CATALOG_FOLDER
//   catalog-builder export CATALOG_FOLDER OUT_FOLDER --base-url URL [--extra-node URL]...
//                          [--gzip-threshold BYTES]
//
// Exit status: 0 done, 1 the folders or the catalogue could not be read or written (nothing
// published, the catalogue as before), 2 bad arguments.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "CatalogPublisher.h"
#include "StaticExport.h"

namespace {

constexpr const char* kUsage =
    "usage: catalog-builder publish [--strict] CONTENT_FOLDER CATALOG_FOLDER\n"
    "       catalog-builder export CATALOG_FOLDER OUT_FOLDER --base-url URL\n"
    "                      [--extra-node URL]... [--gzip-threshold BYTES]\n"
    "\n"
    "publish  makes the content files of CONTENT_FOLDER the next version of the catalogue in\n"
    "         CATALOG_FOLDER (created when missing), keeping every earlier version answerable,\n"
    "         and prints what was added, changed and removed. Names that are not content\n"
    "         (type prefix fon/tbframe/clipart/frame/face, extension svgpb/png/jpg/jpeg,\n"
    "         characters A-Z a-z 0-9 - . _ ~ @ : ; , !) are reported and skipped, one line\n"
    "         each with the reason, as are symbolic links (never followed), files that\n"
    "         cannot be read, empty files, files over 32 MiB and pictures that do not\n"
    "         decode. --strict publishes nothing (status 1) when anything is skipped.\n"
    "export   writes every answer of the catalogue as static files into OUT_FOLDER, with\n"
    "         nginx.conf.sample showing how to serve them. URL is the public root, as in\n"
    "         http://host:8642; --extra-node adds another root to the server list;\n"
    "         JSON answers longer than BYTES (default 1024) are gzip-compressed.\n";

int usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

void printNames(const char* verb, const std::vector<std::string>& names) {
  for (const std::string& name : names) std::printf("  %s %s\n", verb, name.c_str());
}

int publish(const std::string& content, const std::string& catalog, bool strict) {
  std::string error;
  CatalogPublisher::Options options;
  options.strict = strict;
  auto report = CatalogPublisher::publish(content, catalog, error, options);
  if (!report) {
    std::fprintf(stderr, "catalog-builder: %s\n", error.c_str());
    return 1;
  }
  for (const auto& [name, reason] : report->skipped)
    std::fprintf(stderr, "catalog-builder: skipped %s: %s\n", name.c_str(), reason.c_str());
  std::printf("published version %d: %zu standard-screen and %zu tall-screen names\n",
              report->version, report->standardCount, report->tallCount);
  printNames("added", report->difference.added);
  printNames("changed", report->difference.changed);
  printNames("removed", report->difference.removed);
  if (report->difference.empty()) std::printf("  no changes since the previous version\n");
  return 0;
}

int exportCatalog(const std::vector<std::string>& arguments) {
  StaticExport::Options options;
  std::vector<std::string> positional;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    bool hasValue = i + 1 < arguments.size();
    if (argument == "--base-url" && hasValue) {
      options.baseURL = arguments[++i];
    } else if (argument == "--extra-node" && hasValue) {
      options.extraNodes.push_back(arguments[++i]);
    } else if (argument == "--gzip-threshold" && hasValue) {
      char* end = nullptr;
      const std::string& text = arguments[++i];
      unsigned long long value = std::strtoull(text.c_str(), &end, 10);
      if (text.empty() || *end != '\0' || text[0] == '-') return usage();
      options.gzipThreshold = static_cast<size_t>(value);
    } else if (argument.starts_with("--")) {
      return usage();
    } else {
      positional.push_back(argument);
    }
  }
  if (positional.size() != 2 || options.baseURL.empty()) return usage();
  std::string error;
  auto report = StaticExport::write(positional[0], positional[1], options, error);
  if (!report) {
    std::fprintf(stderr, "catalog-builder: %s\n", error.c_str());
    return 1;
  }
  std::printf("exported %zu answers and %zu content files to %s\n", report->answerFiles,
              report->contentFiles, positional[1].c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  for (const std::string& argument : arguments) {
    if (argument == "--help" || argument == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
  }
  if (arguments.empty()) return usage();
  std::string command = arguments.front();
  arguments.erase(arguments.begin());
  if (command == "publish") {
    bool strict = !arguments.empty() && arguments.front() == "--strict";
    if (strict) arguments.erase(arguments.begin());
    if (arguments.size() != 2 || arguments[0].starts_with("--") || arguments[1].starts_with("--"))
      return usage();
    return publish(arguments[0], arguments[1], strict);
  }
  if (command == "export") return exportCatalog(arguments);
  return usage();
}
