#include "Foundation/Value.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace platform {

Date Date::now() {
  using namespace std::chrono;
  return Date{duration<double>(system_clock::now().time_since_epoch()).count()};
}

Value::Value(std::shared_ptr<Object> v) {
  if (v) _storage = std::move(v);
}

bool Value::isNumber() const {
  Kind k = kind();
  return k == Kind::Boolean || k == Kind::Integer || k == Kind::Real;
}

std::optional<bool> Value::boolValue() const {
  if (auto b = std::get_if<bool>(&_storage)) return *b;
  if (auto i = std::get_if<std::int64_t>(&_storage)) return *i != 0;
  if (auto d = std::get_if<double>(&_storage)) return *d != 0;
  return std::nullopt;
}

std::optional<std::int64_t> Value::integerValue() const {
  if (auto b = std::get_if<bool>(&_storage)) return *b ? 1 : 0;
  if (auto i = std::get_if<std::int64_t>(&_storage)) return *i;
  if (auto d = std::get_if<double>(&_storage)) {
    // Out-of-range reals (and NaN) have no integer reading; converting them is undefined.
    if (!(std::fabs(*d) < 9.2e18)) return std::nullopt;
    return static_cast<std::int64_t>(*d);
  }
  return std::nullopt;
}

std::optional<double> Value::realValue() const {
  if (auto b = std::get_if<bool>(&_storage)) return *b ? 1.0 : 0.0;
  if (auto i = std::get_if<std::int64_t>(&_storage)) return static_cast<double>(*i);
  if (auto d = std::get_if<double>(&_storage)) return *d;
  return std::nullopt;
}

std::optional<Date> Value::dateValue() const {
  if (auto d = std::get_if<Date>(&_storage)) return *d;
  return std::nullopt;
}

std::shared_ptr<Object> Value::object() const {
  if (auto o = std::get_if<std::shared_ptr<Object>>(&_storage)) return *o;
  return nullptr;
}

bool Value::operator==(const Value& other) const {
  return _storage == other._storage;
}

std::string Value::description() const {
  char buffer[64];
  switch (kind()) {
    case Kind::Null:
      return "null";
    case Kind::Boolean:
      return *boolValue() ? "YES" : "NO";
    case Kind::Integer:
      return std::to_string(*integerValue());
    case Kind::Real:
      std::snprintf(buffer, sizeof buffer, "%g", *realValue());
      return buffer;
    case Kind::String:
      return "\"" + *string() + "\"";
    case Kind::Date:
      std::snprintf(buffer, sizeof buffer, "<date %.3f>", dateValue()->timeIntervalSince1970);
      return buffer;
    case Kind::Bytes:
      return "<" + std::to_string(bytes()->size()) + " bytes>";
    case Kind::Array: {
      std::string s = "(";
      for (const Value& v : *array()) s += (s.size() > 1 ? ", " : "") + v.description();
      return s + ")";
    }
    case Kind::Dictionary: {
      std::string s = "{";
      for (const auto& [k, v] : *dictionary())
        s += (s.size() > 1 ? "; " : "") + k + " = " + v.description();
      return s + "}";
    }
    case Kind::Object:
      return "<" + object()->className() + ">";
  }
  return {};
}

const Value& valueForKey(const Dictionary& dictionary, std::string_view key) {
  static const Value null;
  auto it = dictionary.find(key);
  return it == dictionary.end() ? null : it->second;
}

}  // namespace platform
