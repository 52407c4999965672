#pragma once

#include <compare>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Foundation/Object.h"

namespace platform {

// A point in time, counted like the platform's dates: seconds since 1970-01-01 UTC.
struct Date {
  double timeIntervalSince1970 = 0;

  static Date now();
  auto operator<=>(const Date&) const = default;
};

using Bytes = std::vector<std::uint8_t>;

class Value;
using Array = std::vector<Value>;
using Dictionary = std::map<std::string, Value, std::less<>>;

// A property-list value: null, boolean, integer, real, string, date, bytes, array, dictionary,
// or a shared object. Containers are held by value; objects by reference.
class Value {
 public:
  enum class Kind { Null, Boolean, Integer, Real, String, Date, Bytes, Array, Dictionary, Object };

  Value() = default;
  Value(std::nullptr_t) {}
  Value(bool v) : _storage(v) {}
  Value(int v) : _storage(std::int64_t{v}) {}
  Value(long v) : _storage(std::int64_t{v}) {}
  Value(long long v) : _storage(std::int64_t{v}) {}
  Value(unsigned v) : _storage(std::int64_t{v}) {}
  Value(unsigned long v) : _storage(static_cast<std::int64_t>(v)) {}
  Value(double v) : _storage(v) {}
  Value(const char* v) : _storage(std::string(v)) {}
  Value(std::string_view v) : _storage(std::string(v)) {}
  Value(std::string v) : _storage(std::move(v)) {}
  Value(Date v) : _storage(v) {}
  Value(Bytes v) : _storage(std::move(v)) {}
  Value(Array v) : _storage(std::move(v)) {}
  Value(Dictionary v) : _storage(std::move(v)) {}
  Value(std::shared_ptr<Object> v);
  template <class T>
  requires std::derived_from<T, Object> Value(std::shared_ptr<T> v)
      : Value(std::static_pointer_cast<Object>(std::move(v))) {}

  Kind kind() const { return static_cast<Kind>(_storage.index()); }
  bool isNull() const { return kind() == Kind::Null; }
  bool isNumber() const;

  // Typed reads. A value of another kind reads as absent, so a stored value of the wrong kind
  // behaves like a missing one. Numbers convert among themselves as the platform's numbers do.
  std::optional<bool> boolValue() const;
  std::optional<std::int64_t> integerValue() const;
  std::optional<double> realValue() const;
  std::optional<Date> dateValue() const;
  const std::string* string() const { return std::get_if<std::string>(&_storage); }
  const Bytes* bytes() const { return std::get_if<Bytes>(&_storage); }
  const Array* array() const { return std::get_if<Array>(&_storage); }
  Array* array() { return std::get_if<Array>(&_storage); }
  const Dictionary* dictionary() const { return std::get_if<Dictionary>(&_storage); }
  Dictionary* dictionary() { return std::get_if<Dictionary>(&_storage); }
  std::shared_ptr<Object> object() const;
  template <class T>
  std::shared_ptr<T> objectAs() const {
    return std::dynamic_pointer_cast<T>(object());
  }

  // Objects compare by identity, everything else by content.
  bool operator==(const Value& other) const;

  // A short readable form for logs and test failures.
  std::string description() const;

 private:
  std::variant<std::monostate, bool, std::int64_t, double, std::string, Date, Bytes, Array,
               Dictionary, std::shared_ptr<Object>>
      _storage;
};

// The entry under a key, or null when the dictionary has none.
const Value& valueForKey(const Dictionary& dictionary, std::string_view key);

}  // namespace platform
