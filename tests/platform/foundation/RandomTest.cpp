#include <gtest/gtest.h>

#include <vector>

#include "foundation/Random.h"

namespace {

TEST(Random, SeedRepeatsTheSequenceAndValuesSpreadOverTheRange) {
  foundation::seedRandom(7);
  std::vector<std::uint32_t> first;
  for (int i = 0; i < 64; ++i) first.push_back(foundation::random32());
  foundation::seedRandom(7);
  bool high = false;
  for (int i = 0; i < 64; ++i) {
    const auto v = foundation::random32();
    EXPECT_EQ(v, first[static_cast<std::size_t>(i)]);
    high = high || v > 0x80000000u;
  }
  EXPECT_TRUE(high);
}

}  // namespace
