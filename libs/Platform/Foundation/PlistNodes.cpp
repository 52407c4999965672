#include "Foundation/PlistNodes.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform::plist_nodes {
namespace {

// Property-list dates count from 2001-01-01; ours from 1970-01-01.
constexpr double kSecondsFrom1970To2001 = 978307200.0;

Node dateNode(Date date) {
  double since2001 = date.timeIntervalSince1970 - kSecondsFrom1970To2001;
  if (!std::isfinite(since2001)) since2001 = 0;
  double whole = std::floor(since2001);
  constexpr double lowest = std::numeric_limits<int32_t>::min();
  constexpr double highest = std::numeric_limits<int32_t>::max();
  if (whole < lowest) whole = lowest;
  if (whole > highest) whole = highest;
  auto micros = static_cast<int32_t>(std::lround((since2001 - whole) * 1e6));
  if (micros >= 1000000 || micros < 0) micros = 0;
  return plist_new_date(static_cast<int32_t>(whole), micros);
}

Node markedNull() {
  Node node = plist_new_dict();
  plist_dict_set_item(node, kNullKey, plist_new_bool(1));
  return node;
}

}  // namespace

std::string escapeKey(std::string_view key) {
  if (!key.empty() && key.front() == '$') return "$" + std::string(key);
  return std::string(key);
}

std::string unescapeKey(std::string_view key) {
  if (key.size() > 1 && key[0] == '$' && key[1] == '$') return std::string(key.substr(1));
  return std::string(key);
}

void setItem(Node dictionary, std::string_view key, Node child, const Codec& codec) {
  std::string stored = codec.archive ? escapeKey(key) : std::string(key);
  plist_dict_set_item(dictionary, stored.c_str(), child);
}

Node getItem(Node dictionary, std::string_view key, const Codec& codec) {
  if (!isDictionary(dictionary)) return nullptr;
  std::string stored = codec.archive ? escapeKey(key) : std::string(key);
  return plist_dict_get_item(dictionary, stored.c_str());
}

Node toNode(const Value& value, const Codec& codec, int depth) {
  switch (value.kind()) {
    case Value::Kind::Null:
      return codec.archive ? markedNull() : plist_new_dict();
    case Value::Kind::Boolean:
      return plist_new_bool(*value.boolValue() ? 1 : 0);
    case Value::Kind::Integer:
      // libplist keeps integers unsigned; the two's-complement bits round-trip negatives.
      return plist_new_uint(static_cast<uint64_t>(*value.integerValue()));
    case Value::Kind::Real:
      return plist_new_real(*value.realValue());
    case Value::Kind::String:
      return plist_new_string(value.string()->c_str());
    case Value::Kind::Date:
      return dateNode(*value.dateValue());
    case Value::Kind::Bytes: {
      const Bytes& bytes = *value.bytes();
      return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case Value::Kind::Array: {
      Node node = plist_new_array();
      for (const Value& item : *value.array())
        plist_array_append_item(node, toNode(item, codec, depth + 1));
      return node;
    }
    case Value::Kind::Dictionary:
      return toNode(*value.dictionary(), codec, depth);
    case Value::Kind::Object:
      if (codec.archive && codec.encodeObject) return codec.encodeObject(*value.object(), depth);
      return codec.archive ? markedNull() : plist_new_dict();
  }
  return plist_new_dict();
}

Node toNode(const Dictionary& dictionary, const Codec& codec, int depth) {
  Node node = plist_new_dict();
  for (const auto& [key, item] : dictionary)
    setItem(node, key, toNode(item, codec, depth + 1), codec);
  return node;
}

std::optional<Value> fromNode(Node node, const Codec& codec, int depth) {
  if (!node || depth > kMaxDepth) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return Value(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return Value(static_cast<std::int64_t>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return Value(d);
    }
    case PLIST_STRING: {
      uint64_t length = 0;
      const char* text = plist_get_string_ptr(node, &length);
      return Value(std::string(text ? text : "", text ? length : 0));
    }
    case PLIST_DATE: {
      int32_t seconds = 0, micros = 0;
      plist_get_date_val(node, &seconds, &micros);
      // libplist truncates toward zero and drops the fraction's sign: before 2001 the fraction
      // counts backwards.
      double since2001 = seconds < 0 ? seconds - micros / 1e6 : seconds + micros / 1e6;
      return Value(Date{since2001 + kSecondsFrom1970To2001});
    }
    case PLIST_DATA: {
      uint64_t length = 0;
      const char* data = plist_get_data_ptr(node, &length);
      auto begin = reinterpret_cast<const uint8_t*>(data);
      return Value(data ? Bytes(begin, begin + length) : Bytes{});
    }
    case PLIST_ARRAY: {
      Array array;
      uint32_t count = plist_array_get_size(node);
      array.reserve(count);
      for (uint32_t i = 0; i < count; ++i) {
        auto item = fromNode(plist_array_get_item(node, i), codec, depth + 1);
        if (!item) return std::nullopt;
        array.push_back(std::move(*item));
      }
      return Value(std::move(array));
    }
    case PLIST_DICT: {
      if (codec.archive) {
        if (plist_dict_get_item(node, kNullKey)) return Value();
        if (plist_dict_get_item(node, kClassKey)) {
          if (!codec.decodeObject) return Value();
          return codec.decodeObject(node, depth);
        }
      }
      Dictionary dictionary;
      plist_dict_iter iterator = nullptr;
      plist_dict_new_iter(node, &iterator);
      bool malformed = false;
      while (iterator) {
        char* key = nullptr;
        Node item = nullptr;
        plist_dict_next_item(node, iterator, &key, &item);
        if (!key) break;
        std::string name = codec.archive ? unescapeKey(key) : std::string(key);
        std::free(key);
        auto converted = fromNode(item, codec, depth + 1);
        if (!converted) {
          malformed = true;
          break;
        }
        dictionary.insert_or_assign(std::move(name), std::move(*converted));
      }
      std::free(iterator);
      if (malformed) return std::nullopt;
      return Value(std::move(dictionary));
    }
    default:
      return std::nullopt;
  }
}

Node parse(const void* data, size_t size) {
  if (!data || size < 8 || size > std::numeric_limits<uint32_t>::max()) return nullptr;
  Node node = nullptr;
  auto bytes = static_cast<const char*>(data);
  if (plist_is_binary(bytes, static_cast<uint32_t>(size))) {
    plist_from_bin(bytes, static_cast<uint32_t>(size), &node);
  } else {
    plist_from_xml(bytes, static_cast<uint32_t>(size), &node);
  }
  return node;
}

Bytes toBinary(Node node) {
  char* data = nullptr;
  uint32_t length = 0;
  plist_to_bin(node, &data, &length);
  Bytes bytes;
  if (data) {
    bytes.assign(reinterpret_cast<uint8_t*>(data), reinterpret_cast<uint8_t*>(data) + length);
    plist_to_bin_free(data);
  }
  return bytes;
}

void release(Node node) {
  if (node) plist_free(node);
}

bool isDictionary(Node node) {
  return node && plist_get_node_type(node) == PLIST_DICT;
}

std::optional<std::string> stringOf(Node node) {
  if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(node, &length);
  return std::string(text ? text : "", text ? length : 0);
}

}  // namespace platform::plist_nodes
