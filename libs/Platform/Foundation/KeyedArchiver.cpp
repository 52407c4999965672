#include "Foundation/KeyedArchiver.h"

#include <plist/plist.h>

#include "Foundation/ArchiveFormat.h"
#include "Foundation/Console.h"
#include "Foundation/PlistNodes.h"

namespace platform {

using plist_nodes::Codec;
using plist_nodes::Node;

class KeyedArchiverAccess {
 public:
  static Node encodeObject(const Object& object, int depth) {
    auto archivable = dynamic_cast<const Archivable*>(&object);
    if (!archivable || depth >= plist_nodes::kMaxDepth) {
      Console::logf("KeyedArchiver: %s %s; archived as null", object.className().c_str(),
                    archivable ? "is nested too deeply" : "cannot be archived");
      return plist_nodes::toNode(Value(), codec());
    }
    Node dictionary = plist_new_dict();
    plist_dict_set_item(dictionary, plist_nodes::kClassKey,
                        plist_new_string(object.className().c_str()));
    KeyedArchiver child(dictionary, depth + 1);
    archivable->encodeWithCoder(child);
    return dictionary;
  }

  static const Codec& codec() {
    static const Codec archiveCodec{true, &KeyedArchiverAccess::encodeObject, nullptr};
    return archiveCodec;
  }
};

KeyedArchiver::KeyedArchiver() {
  _root = plist_new_dict();
  plist_dict_set_item(_root, archive_format::kArchiverKey,
                      plist_new_string(archive_format::kArchiverName));
  plist_dict_set_item(_root, archive_format::kVersionKey,
                      plist_new_uint(archive_format::kArchiveVersion));
  _dictionary = plist_new_dict();
  plist_dict_set_item(_root, archive_format::kTopKey, _dictionary);
}

KeyedArchiver::KeyedArchiver(void* dictionary, int depth)
    : _dictionary(dictionary), _depth(depth) {}

KeyedArchiver::~KeyedArchiver() {
  plist_nodes::release(_root);
}

void KeyedArchiver::encodeObject(const Value& value, std::string_view key) {
  const Codec& codec = KeyedArchiverAccess::codec();
  plist_nodes::setItem(_dictionary, key, plist_nodes::toNode(value, codec, _depth), codec);
}

void KeyedArchiver::encodeDictionary(const Dictionary& dictionary, std::string_view key) {
  const Codec& codec = KeyedArchiverAccess::codec();
  plist_nodes::setItem(_dictionary, key, plist_nodes::toNode(dictionary, codec, _depth), codec);
}

void KeyedArchiver::encodeBool(bool value, std::string_view key) {
  encodeObject(Value(value), key);
}

void KeyedArchiver::encodeInteger(std::int64_t value, std::string_view key) {
  encodeObject(Value(value), key);
}

void KeyedArchiver::encodeInt32(std::int32_t value, std::string_view key) {
  encodeObject(Value(value), key);
}

void KeyedArchiver::encodeDouble(double value, std::string_view key) {
  encodeObject(Value(value), key);
}

Bytes KeyedArchiver::finishEncoding() const {
  if (!_root) return {};
  return plist_nodes::toBinary(_root);
}

Bytes KeyedArchiver::archivedDataWithRootObject(const Value& root, std::string_view key) {
  KeyedArchiver archiver;
  archiver.encodeObject(root, key);
  return archiver.finishEncoding();
}

}  // namespace platform
