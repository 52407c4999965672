#pragma once

// Conversion between Values and libplist's node trees, shared by property-list reading and
// keyed archiving. Internal to the platform layer.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Value.h"

namespace platform::plist_nodes {

using Node = void*;  // a plist_t

// Deeper trees are refused: a hostile file must not exhaust the stack.
constexpr int kMaxDepth = 256;

struct Codec {
  // Archive mode: dictionary keys beginning with "$" are escaped, null is written as a marked
  // dictionary, and objects go through the two hooks. Plain mode reads and writes ordinary
  // property lists (no null, no objects).
  bool archive = false;
  std::function<Node(const Object& object, int depth)> encodeObject;
  // Called with a dictionary node that carries "$class"; returns null for objects that cannot
  // be revived.
  std::function<std::optional<Value>(Node dictionary, int depth)> decodeObject;
};

inline constexpr const char* kClassKey = "$class";
inline constexpr const char* kNullKey = "$null";

// The owned node for `value`; never null (unencodable values become an empty dictionary).
Node toNode(const Value& value, const Codec& codec, int depth = 0);
Node toNode(const Dictionary& dictionary, const Codec& codec, int depth = 0);
// The value of a node, or nothing when the tree is malformed or deeper than kMaxDepth.
std::optional<Value> fromNode(Node node, const Codec& codec, int depth = 0);

// Sets `child` (owned) under `key` of the dictionary node, escaping the key in archive mode.
void setItem(Node dictionary, std::string_view key, Node child, const Codec& codec);
Node getItem(Node dictionary, std::string_view key, const Codec& codec);

// Parses XML or binary property-list bytes; null when they are not a property list.
Node parse(const void* data, size_t size);
Bytes toBinary(Node node);
void release(Node node);
bool isDictionary(Node node);
std::optional<std::string> stringOf(Node node);

std::string escapeKey(std::string_view key);
std::string unescapeKey(std::string_view key);

}  // namespace platform::plist_nodes
