#include "Foundation/JSONSerialization.h"

#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <vector>

namespace platform {
namespace {

// Builds values straight from the parser's events, so that nesting is bounded here and no
// intermediate document is made.
class ValueBuilder : public nlohmann::json_sax<nlohmann::json> {
 public:
  bool null() override { return add(Value()); }
  bool boolean(bool value) override { return add(Value(value)); }
  bool number_integer(number_integer_t value) override {
    return add(Value(static_cast<long long>(value)));
  }
  bool number_unsigned(number_unsigned_t value) override {
    if (value <= static_cast<number_unsigned_t>(std::numeric_limits<std::int64_t>::max()))
      return add(Value(static_cast<long long>(value)));
    return add(Value(static_cast<double>(value)));
  }
  bool number_float(number_float_t value, const string_t&) override { return add(Value(value)); }
  bool string(string_t& value) override { return add(Value(std::move(value))); }
  bool binary(binary_t&) override { return false; }
  bool start_object(std::size_t) override { return open(Value(Dictionary{})); }
  bool key(string_t& value) override {
    _frames.back().key = std::move(value);
    return true;
  }
  bool end_object() override { return close(); }
  bool start_array(std::size_t) override { return open(Value(Array{})); }
  bool end_array() override { return close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

  std::optional<Value> result() {
    return _done ? std::optional<Value>(std::move(_root)) : std::nullopt;
  }

 private:
  struct Frame {
    Value container;
    std::string key;
  };

  bool open(Value container) {
    if (_frames.size() >= static_cast<std::size_t>(JSONSerialization::kMaxDepth)) return false;
    _frames.push_back(Frame{std::move(container), {}});
    return true;
  }
  bool close() {
    Value finished = std::move(_frames.back().container);
    _frames.pop_back();
    return add(std::move(finished));
  }
  bool add(Value value) {
    if (_frames.empty()) {
      _root = std::move(value);
      _done = true;
      return true;
    }
    Frame& top = _frames.back();
    if (Array* array = top.container.array()) {
      array->push_back(std::move(value));
    } else {
      top.container.dictionary()->insert_or_assign(std::move(top.key), std::move(value));
    }
    return true;
  }

  std::vector<Frame> _frames;
  Value _root;
  bool _done = false;
};

std::optional<nlohmann::json> toJSON(const Value& value, int depth) {
  if (depth > JSONSerialization::kMaxDepth) return std::nullopt;
  switch (value.kind()) {
    case Value::Kind::Null:
      return nlohmann::json(nullptr);
    case Value::Kind::Boolean:
      return nlohmann::json(*value.boolValue());
    case Value::Kind::Integer:
      return nlohmann::json(*value.integerValue());
    case Value::Kind::Real: {
      double real = *value.realValue();
      if (!std::isfinite(real)) return std::nullopt;
      return nlohmann::json(real);
    }
    case Value::Kind::String:
      return nlohmann::json(*value.string());
    case Value::Kind::Array: {
      nlohmann::json array = nlohmann::json::array();
      for (const Value& element : *value.array()) {
        auto converted = toJSON(element, depth + 1);
        if (!converted) return std::nullopt;
        array.push_back(std::move(*converted));
      }
      return array;
    }
    case Value::Kind::Dictionary: {
      nlohmann::json object = nlohmann::json::object();
      for (const auto& [key, element] : *value.dictionary()) {
        auto converted = toJSON(element, depth + 1);
        if (!converted) return std::nullopt;
        object[key] = std::move(*converted);
      }
      return object;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

std::optional<Value> JSONSerialization::JSONObjectWithData(std::string_view text) {
  ValueBuilder builder;
  bool parsed = false;
  try {
    parsed = nlohmann::json::sax_parse(text.begin(), text.end(), &builder);
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
  if (!parsed) return std::nullopt;
  return builder.result();
}

std::optional<Value> JSONSerialization::JSONObjectWithData(const Bytes& data) {
  return JSONObjectWithData(
      std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

std::optional<std::string> JSONSerialization::dataWithJSONObject(const Value& value) {
  auto json = toJSON(value, 0);
  if (!json) return std::nullopt;
  try {
    return json->dump();
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;  // a string that is not UTF-8
  }
}

}  // namespace platform
