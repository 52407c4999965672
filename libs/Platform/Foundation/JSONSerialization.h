#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Foundation/Value.h"

namespace platform {

// JSON text to values and back. Objects become dictionaries, arrays arrays, integers that fit
// 64 bits integers, other numbers reals.
class JSONSerialization {
 public:
  // Nesting deeper than this is refused rather than risking the stack on hostile input.
  static constexpr int kMaxDepth = 256;

  // The value of a UTF-8 JSON text; none when the text does not parse (or nests too deeply).
  static std::optional<Value> JSONObjectWithData(std::string_view text);
  static std::optional<Value> JSONObjectWithData(const Bytes& data);
  // The JSON text of a value; none when it holds something JSON cannot express (dates, bytes,
  // objects, non-finite reals).
  static std::optional<std::string> dataWithJSONObject(const Value& value);
};

}  // namespace platform
