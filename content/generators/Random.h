#pragma once

#include <cstdint>

// A small seeded generator, so that scattered stars and dots land in the same places on every
// build and the pack's files only change when their art does.
class Random {
 public:
  explicit Random(std::uint32_t seed) : _state(seed * 2654435761u + 1) {}

  // From 0 (inclusive) to 1 (exclusive).
  double next() {
    _state ^= _state << 13;
    _state ^= _state >> 17;
    _state ^= _state << 5;
    return (_state & 0xFFFFFF) / double(0x1000000);
  }
  double range(double low, double high) { return low + (high - low) * next(); }

 private:
  std::uint32_t _state;
};
