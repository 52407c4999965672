#include "Foundation/PropertyList.h"

#include "Foundation/FileManager.h"
#include "Foundation/PlistNodes.h"

namespace platform {

std::optional<Value> PropertyList::read(const Bytes& data) {
  plist_nodes::Node root = plist_nodes::parse(data.data(), data.size());
  if (!root) return std::nullopt;
  auto value = plist_nodes::fromNode(root, plist_nodes::Codec{});
  plist_nodes::release(root);
  return value;
}

std::optional<Value> PropertyList::readFile(const std::string& path) {
  auto data = FileManager::contentsAtPath(path);
  if (!data) return std::nullopt;
  return read(*data);
}

Bytes PropertyList::binaryData(const Value& value) {
  plist_nodes::Node root = plist_nodes::toNode(value, plist_nodes::Codec{});
  Bytes bytes = plist_nodes::toBinary(root);
  plist_nodes::release(root);
  return bytes;
}

}  // namespace platform
