#pragma once

#include <string>

#include "Foundation/Object.h"
#include "Foundation/Value.h"

namespace platform {

// An archived object whose class no factory knows (a program that does not link it read the
// archive). It keeps the class name and the entries, and archives them again unchanged.
class UnarchivedObject final : public Archivable {
 public:
  UnarchivedObject(std::string archivedClassName, Dictionary entries)
      : _archivedClassName(std::move(archivedClassName)), _entries(std::move(entries)) {}

  std::string className() const override { return _archivedClassName; }
  void encodeWithCoder(KeyedArchiver& coder) const override;
  const Dictionary& entries() const { return _entries; }

 private:
  std::string _archivedClassName;
  Dictionary _entries;
};

}  // namespace platform
