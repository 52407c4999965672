#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/Value.h"
#include "ScreenKind.h"

// One published version of a catalogue: every file name with the content hash of its bytes,
// and the two screen kinds' catalogues (the names each kind lists). The kinds' lists are kept
// as published, so old versions answer as they did even if the acceptance rule changes.
class CatalogManifest {
 public:
  using Files = std::map<std::string, std::string, std::less<>>;  // name -> content hash

  CatalogManifest() = default;  // version 0: nothing published
  // The kinds' catalogues come from the acceptance rule of each kind.
  CatalogManifest(int version, Files files);

  int version() const { return _version; }
  const Files& files() const { return _files; }
  // The kind's catalogue in name order.
  const std::vector<std::string>& names(ScreenKind kind) const;
  // The content hash of a name in the kind's catalogue; null when the kind does not list it.
  const std::string* hashOf(ScreenKind kind, std::string_view name) const;

  platform::Value toValue() const;
  // Checks the shape fully: a manifest that reads is one whose every name is safe and listed
  // in "files", and whose every hash has the form of a content hash.
  static std::optional<CatalogManifest> fromValue(const platform::Value& value, std::string& error);

 private:
  int _version = 0;
  Files _files;
  std::vector<std::string> _standard;
  std::vector<std::string> _tall;
};
