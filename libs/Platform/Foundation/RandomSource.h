#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The process's one source of random numbers for decisions that tests must be able to steer
// (which content server to use). Any thread.
class RandomSource {
 public:
  using Generator = std::function<std::uint32_t()>;

  // A uniformly distributed 32-bit number.
  static std::uint32_t next();
  // Replaces the generator; none restores the default (seeded from the system).
  static void setGenerator(Generator generator);
};

}  // namespace platform
