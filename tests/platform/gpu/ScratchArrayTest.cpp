// A kernel's scratch array takes a block its thread kept from arrays dropped before (the smallest
// that holds it) and holds the values it was asked for, whatever the block held; a thread keeps a
// bounded number of blocks and bytes. The arrays dropped are held in a vector, which moves them as
// it grows, and dropped by assigning an empty one or by going out of scope with it.

#include "gpu/ScratchArray.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <ostream>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kKiB = 1024, kMiB = 1024 * kKiB;

struct KeepCase {
  const char* name;
  std::vector<std::size_t> dropped;  // bytes of arrays held together, written over, then dropped
  std::size_t asked;                 // bytes of the array made next
  int reuses;                        // which dropped array's block it takes; -1: none it kept
  std::size_t keptBlocks;            // what the thread keeps once the dropped arrays are gone
  bool outOfScope = false;           // dropped by going out of scope rather than by assignment
};

void PrintTo(const KeepCase& c, std::ostream* out) { *out << c.name; }

class ScratchArrayKeeping : public ::testing::TestWithParam<KeepCase> {};

TEST_P(ScratchArrayKeeping, TakesTheSmallestKeptBlockThatHoldsItAndFillsIt) {
  const KeepCase& c = GetParam();
  // A thread of its own, so that it starts keeping nothing.
  std::thread([&] {
    std::vector<const void*> blocks;
    {
      std::vector<gpu::ScratchArray<std::uint8_t>> held;
      for (const std::size_t bytes : c.dropped) {
        held.emplace_back(bytes);
        std::fill(held.back().begin(), held.back().end(), 0xAB);
        blocks.push_back(held.back().data());
      }
      if (!c.outOfScope) {
        for (auto& array : held) array = {};  // dropped in order
      }
    }
    EXPECT_EQ(gpu::scratch::keptBlocks(), c.keptBlocks);
    const gpu::ScratchArray<std::uint32_t> array(c.asked / 4, 7);
    ASSERT_EQ(array.size(), c.asked / 4);
    EXPECT_TRUE(std::all_of(array.begin(), array.end(), [](std::uint32_t v) { return v == 7; }));
    EXPECT_EQ(gpu::scratch::keptBlocks(), c.keptBlocks - (c.reuses >= 0 ? 1 : 0));
    if (c.reuses >= 0) {
      EXPECT_EQ(static_cast<const void*>(array.data()), blocks[static_cast<std::size_t>(c.reuses)]);
    }
  }).join();
}

const KeepCase kKeepCases[] = {
    {"ADroppedBlockIsTakenAgain", {64 * kKiB}, 64 * kKiB, 0, 1},
    {"TheSmallestThatHoldsIt", {256 * kKiB, 64 * kKiB, 128 * kKiB}, 100 * kKiB, 2, 3},
    {"ASmallerArrayTakesALargerBlock", {256 * kKiB}, 4 * kKiB, 0, 1},
    {"ALargerArrayGetsANewBlock", {64 * kKiB}, 64 * kKiB + 4, -1, 1},
    {"AtMostThirtyTwoBlocks", std::vector<std::size_t>(40, kKiB), 2 * kKiB, -1, gpu::scratch::kKeptBlocks},
    {"AtMostThirtyTwoMegabytes", {20 * kMiB, 20 * kMiB}, 20 * kMiB, 0, 1},
    {"ArraysGoneOutOfScopeAreKept", {256 * kKiB, 64 * kKiB}, 64 * kKiB, 1, 2, true},
};

INSTANTIATE_TEST_SUITE_P(Cases, ScratchArrayKeeping, ::testing::ValuesIn(kKeepCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A count whose bytes pass what memory can address would wrap to a small block that the values then
// overrun: it is refused before anything is given back or taken, and an array keeps what it holds.
TEST(ScratchArray, RefusesACountPastWhatMemoryAddresses) {
  constexpr std::size_t kPast = std::numeric_limits<std::size_t>::max() / sizeof(std::uint32_t) + 1;
  gpu::ScratchArray<std::uint32_t> array(4, 9);
  const void* block = array.data();
  EXPECT_THROW(array.assign(kPast, 0), std::bad_alloc);
  EXPECT_EQ(static_cast<const void*>(array.data()), block);
  EXPECT_EQ(std::vector<std::uint32_t>(array.begin(), array.end()), std::vector<std::uint32_t>(4, 9));
  EXPECT_THROW(gpu::ScratchArray<std::uint32_t>{kPast}, std::bad_alloc);
}

}  // namespace
