#include "Foundation/KeyedUnarchiver.h"

#include <plist/plist.h>

#include <limits>

#include "Foundation/ArchivableRegistry.h"
#include "Foundation/ArchiveFormat.h"
#include "Foundation/Console.h"
#include "Foundation/PlistNodes.h"
#include "Foundation/UnarchivedObject.h"

namespace platform {

using plist_nodes::Codec;
using plist_nodes::Node;

struct KeyedUnarchiver::Root {
  Node node = nullptr;
  bool failed = false;
  Codec codec;
  ~Root() { plist_nodes::release(node); }
};

std::unique_ptr<KeyedUnarchiver> KeyedUnarchiver::unarchiverForReadingWithData(const Bytes& data) {
  Node node = plist_nodes::parse(data.data(), data.size());
  if (!node) return nullptr;
  auto root = std::make_shared<Root>();
  root->node = node;
  auto archiver =
      plist_nodes::stringOf(plist_nodes::getItem(node, archive_format::kArchiverKey, {}));
  Node top = plist_nodes::getItem(node, archive_format::kTopKey, {});
  if (!archiver || *archiver != archive_format::kArchiverName || !plist_nodes::isDictionary(top))
    return nullptr;
  std::weak_ptr<Root> weakRoot = root;
  root->codec.archive = true;
  root->codec.decodeObject = [weakRoot](Node dictionary, int depth) -> std::optional<Value> {
    auto strongRoot = weakRoot.lock();
    auto className = plist_nodes::stringOf(plist_dict_get_item(dictionary, plist_nodes::kClassKey));
    if (!strongRoot || !className) return std::nullopt;
    KeyedUnarchiver coder(strongRoot, dictionary, depth + 1, *className);
    if (auto factory = ArchivableRegistry::factoryForClass(*className)) {
      auto object = factory(coder);
      if (!object) Console::logf("KeyedUnarchiver: %s refused its archive", className->c_str());
      return Value(std::move(object));
    }
    // Keep what we cannot revive, so that writing the archive again loses nothing.
    Dictionary entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(dictionary, &iterator);
    while (iterator) {
      char* key = nullptr;
      Node item = nullptr;
      plist_dict_next_item(dictionary, iterator, &key, &item);
      if (!key) break;
      std::string name = key;
      std::free(key);
      if (name == plist_nodes::kClassKey) continue;
      auto value = coder.decode(item);
      if (!value) {
        std::free(iterator);
        return std::nullopt;
      }
      entries.insert_or_assign(plist_nodes::unescapeKey(name), std::move(*value));
    }
    std::free(iterator);
    return Value(std::make_shared<UnarchivedObject>(*className, std::move(entries)));
  };
  return std::unique_ptr<KeyedUnarchiver>(new KeyedUnarchiver(root, top, 0, ""));
}

std::optional<Value> KeyedUnarchiver::unarchiveObjectWithData(const Bytes& data,
                                                              std::string_view key) {
  auto unarchiver = unarchiverForReadingWithData(data);
  if (!unarchiver) return std::nullopt;
  Value value = unarchiver->decodeObjectForKey(key);
  if (unarchiver->failed()) return std::nullopt;
  return value;
}

KeyedUnarchiver::KeyedUnarchiver(std::shared_ptr<Root> root, void* dictionary, int depth,
                                 std::string className)
    : _root(std::move(root)),
      _dictionary(dictionary),
      _depth(depth),
      _className(std::move(className)) {}

KeyedUnarchiver::~KeyedUnarchiver() = default;

bool KeyedUnarchiver::failed() const {
  return _root->failed;
}

std::optional<Value> KeyedUnarchiver::decode(void* node) const {
  auto value = plist_nodes::fromNode(node, _root->codec, _depth);
  if (!value) _root->failed = true;
  return value;
}

bool KeyedUnarchiver::containsValueForKey(std::string_view key) const {
  return plist_nodes::getItem(_dictionary, key, _root->codec) != nullptr;
}

Value KeyedUnarchiver::decodeObjectForKey(std::string_view key) const {
  Node node = plist_nodes::getItem(_dictionary, key, _root->codec);
  if (!node) return Value();
  auto value = decode(node);
  return value ? std::move(*value) : Value();
}

std::optional<bool> KeyedUnarchiver::decodeBoolForKey(std::string_view key) const {
  return decodeObjectForKey(key).boolValue();
}

std::optional<std::int64_t> KeyedUnarchiver::decodeIntegerForKey(std::string_view key) const {
  Value value = decodeObjectForKey(key);
  if (value.kind() != Value::Kind::Integer && value.kind() != Value::Kind::Boolean)
    return std::nullopt;
  return value.integerValue();
}

std::optional<std::int32_t> KeyedUnarchiver::decodeInt32ForKey(std::string_view key) const {
  auto value = decodeIntegerForKey(key);
  if (!value || *value < std::numeric_limits<std::int32_t>::min() ||
      *value > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

std::optional<double> KeyedUnarchiver::decodeDoubleForKey(std::string_view key) const {
  return decodeObjectForKey(key).realValue();
}

}  // namespace platform
