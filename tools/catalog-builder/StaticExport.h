#pragma once

#include <optional>
#include <string>
#include <vector>

#include "AnswerEncoding.h"

// Writes every answer of a catalogue as static files, with a sample nginx configuration, for
// serving from any HTTP server or CDN (the layout is described in that configuration).
class StaticExport {
 public:
  struct Options {
    std::string baseURL;                  // the public root the export is served under
    std::vector<std::string> extraNodes;  // further roots for the server list
    size_t gzipThreshold = AnswerEncoding::kDefaultGzipThreshold;
  };
  struct Report {
    size_t answerFiles = 0;
    size_t contentFiles = 0;
  };

  // The marker file that tells an earlier export, which a new one may replace.
  static constexpr const char* kMarkerName = ".pictavia-export";
  static constexpr const char* kNginxConfigName = "nginx.conf.sample";

  // Builds the export beside `outFolder` and renames it into place. An existing `outFolder`
  // is replaced only when it is empty or an earlier export.
  static std::optional<Report> write(const std::string& catalogFolder, const std::string& outFolder,
                                     const Options& options, std::string& error);
};
