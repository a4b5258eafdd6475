#include "Random.h"

#include <random>

namespace foundation {
namespace {

std::mt19937& engine() {
  static std::mt19937 generator{std::random_device{}()};
  return generator;
}

}  // namespace

std::uint32_t random32() { return static_cast<std::uint32_t>(engine()()); }

void seedRandom(std::uint64_t seed) { engine().seed(static_cast<std::mt19937::result_type>(seed)); }

}  // namespace foundation
