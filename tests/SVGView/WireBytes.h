#pragma once

#include <cctype>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>

namespace svg_test {

// "0a 23 ff" -> the three bytes; blanks between bytes are optional.
inline std::string bytesFromHex(const std::string& hex) {
  std::string bytes;
  std::string digits;
  for (char c : hex) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) throw std::invalid_argument(hex);
    digits += c;
    if (digits.size() == 2) {
      bytes += static_cast<char>(std::stoi(digits, nullptr, 16));
      digits.clear();
    }
  }
  if (!digits.empty()) throw std::invalid_argument(hex);
  return bytes;
}

inline bool writeFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

// A varint as the wire format writes it.
inline std::string varint(uint64_t value) {
  std::string bytes;
  while (value >= 0x80) {
    bytes += static_cast<char>((value & 0x7f) | 0x80);
    value >>= 7;
  }
  bytes += static_cast<char>(value);
  return bytes;
}

// A length-delimited record: tag, length, payload.
inline std::string lengthDelimited(int field, const std::string& payload) {
  return varint(static_cast<uint64_t>(field) << 3 | 2) + varint(payload.size()) + payload;
}

}  // namespace svg_test
