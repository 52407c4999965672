#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>

#include "ScreenKind.h"

// One request as the reference server sees it, before it answers.
struct ServerRequest {
  size_t index = 0;                // 0 for the first request since the server started
  std::string method;              // "GET", "HEAD", ...
  std::string target;              // as sent: "/tall/?act=list&dif=3"
  std::string path;                // "/tall/"
  std::optional<ScreenKind> kind;  // by the path; none for any other path
  std::string act;                 // the "act" parameter, empty when absent
  std::map<std::string, std::string> parameters;  // decoded; the first of repeated ones

  // The parameter's value, or nothing when the query lacks it.
  std::optional<std::string> parameter(const std::string& name) const {
    auto it = parameters.find(name);
    if (it == parameters.end()) return std::nullopt;
    return it->second;
  }
};
