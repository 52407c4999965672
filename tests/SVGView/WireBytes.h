#pragma once

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "svg.pb.h"

namespace svg_test {

// A root with one red 80x80 square at (10, 10) in a 100x100 picture.
inline const char* const kRedSquare =
    "0a 23 0a 21 12 1f 0a 07 1a 05 0a 03 08 ff 01 4a 14 0d 00 00 20 41 15 00 00 20 41 1d 00 00 a0 "
    "42 25 00 00 a0 42 12 0a 1d 00 00 c8 42 25 00 00 c8 42 1a 0a 1d 00 00 c8 42 25 00 00 c8 42";

// "0a 23 ff" -> the three bytes.
inline std::string bytesFromHex(const std::string& hex) {
  std::istringstream in(hex);
  std::string bytes;
  for (unsigned byte = 0; in >> std::hex >> byte;) bytes += static_cast<char>(byte);
  return bytes;
}

inline bool writeFile(const std::string& path, const std::string& bytes) {
  return static_cast<bool>(std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes);
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

// A fixed32 record holding a float.
inline std::string floatField(int field, float value) {
  std::string bytes = varint(static_cast<uint64_t>(field) << 3 | 5);
  bytes.append(reinterpret_cast<const char*>(&value), 4);  // little-endian, as the wire
  return bytes;
}

// A varint record.
inline std::string varintField(int field, uint64_t value) {
  return varint(static_cast<uint64_t>(field) << 3) + varint(value);
}

// A length-delimited record: tag, length, payload.
inline std::string lengthDelimited(int field, const std::string& payload) {
  return varint(static_cast<uint64_t>(field) << 3 | 2) + varint(payload.size()) + payload;
}

// A picture of 100 x 100 user units shown in a 100 x 100 viewport.
inline ProtoSVGRoot squareRoot() {
  ProtoSVGRoot root;
  for (ProtoRect* r : {root.mutable_viewport(), root.mutable_view_box()})
    r->set_width(100), r->set_height(100);
  return root;
}

inline ProtoSVGElementPath* addRect(ProtoSVGGeneralParams* parent, float x, float y, float w,
                                    float h) {
  ProtoSVGElementPath* path = parent->add_children()->mutable_path();
  ProtoRect* rect = path->mutable_rect();
  rect->set_x(x), rect->set_y(y), rect->set_width(w), rect->set_height(h);
  return path;
}

inline void setColor(ProtoSVGPaint* paint, int r, int g, int b) {
  ProtoColor* color = paint->mutable_color();
  color->set_red(r), color->set_green(g), color->set_blue(b);
}

}  // namespace svg_test
