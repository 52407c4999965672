#include "Foundation/ArchivableRegistry.h"

#include <map>
#include <mutex>

#include "Foundation/KeyedArchiver.h"
#include "Foundation/UnarchivedObject.h"

namespace platform {
namespace {

std::mutex& registryMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<std::string, ArchivableRegistry::Factory, std::less<>>& factories() {
  static std::map<std::string, ArchivableRegistry::Factory, std::less<>> map;
  return map;
}

}  // namespace

void ArchivableRegistry::registerClass(std::string className, Factory factory) {
  std::lock_guard lock(registryMutex());
  factories()[std::move(className)] = std::move(factory);
}

ArchivableRegistry::Factory ArchivableRegistry::factoryForClass(std::string_view className) {
  std::lock_guard lock(registryMutex());
  auto it = factories().find(className);
  return it == factories().end() ? Factory{} : it->second;
}

void UnarchivedObject::encodeWithCoder(KeyedArchiver& coder) const {
  for (const auto& [key, value] : _entries) coder.encodeObject(value, key);
}

}  // namespace platform
