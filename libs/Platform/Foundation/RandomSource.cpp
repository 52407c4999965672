#include "Foundation/RandomSource.h"

#include <mutex>
#include <random>

namespace platform {
namespace {

std::mutex randomMutex;

RandomSource::Generator& generator() {
  static RandomSource::Generator current;
  return current;
}

std::uint32_t systemRandom() {
  static std::mt19937 engine{std::random_device{}()};
  return static_cast<std::uint32_t>(engine());
}

}  // namespace

std::uint32_t RandomSource::next() {
  std::lock_guard lock(randomMutex);
  return generator() ? generator()() : systemRandom();
}

void RandomSource::setGenerator(Generator replacement) {
  std::lock_guard lock(randomMutex);
  generator() = std::move(replacement);
}

}  // namespace platform
