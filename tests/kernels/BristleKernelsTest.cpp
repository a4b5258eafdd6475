// The bristle initialisers' kernel: each record a line of body cells in its slice, from its root
// towards the head's tip, within the head and within the records the buffer holds.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <set>
#include <tuple>

#include "KernelHarness.h"
#include "tools/ToolModelKernelRecords.h"
#include "utils/KernelInterface.h"

namespace kerneltest {
namespace {

using tessivarium::Bristle;
using Cell = std::tuple<std::size_t, std::size_t, std::size_t>;

// Lays `records` into a fresh 8 x 8 x 4 head with `threads` threads in groups of 4.
std::set<Cell> laid(const std::vector<Bristle>& records, std::size_t threads) {
  const auto head = texture(8, 8, 4);
  const auto bytes = tessivarium::bristleBytes(records);
  const auto device = gpu::systemDefaultDevice();
  const auto pipeline = device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction("DAEToolModel_brush_fan"));
  const auto buffer = device->makeCommandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeComputeCommandEncoder();
  encoder->setComputePipelineState(pipeline);
  encoder->setTexture(head, tessivarium::TEXTURE_TOOL_WRITE);
  encoder->setBuffer(bufferOf(bytes), 0, tessivarium::BUFFER_BRISTLES);
  encoder->dispatchThreadgroups({(threads + 3) / 4, 1, 1}, {4, 1, 1});
  encoder->endEncoding();
  buffer->commit();
  std::set<Cell> cells;
  for (std::size_t z = 0; z < 4; ++z)
    for (std::size_t y = 0; y < 8; ++y)
      for (std::size_t x = 0; x < 8; ++x) {
        const Texel t = at(*head, x, y, z);
        if (t[3] == 255) cells.insert({x, y, z});
        EXPECT_TRUE(t == (Texel{0, 0, 0, 255}) || t == (Texel{0, 0, 0, 0})) << x << " " << y << " " << z;
      }
  return cells;
}

Bristle record(float x, float y, float z, float length, float angle = 0) { return Bristle({x, y, z, length}, angle); }

TEST(BristleKernel, EachRecordIsALineTowardsTheTipInItsSlice) {
  const float quarter = static_cast<float>(std::numbers::pi / 2);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  struct Case {
    const char* what;
    Bristle bristle;
    std::set<Cell> cells;
  } cases[] = {
      {"along -y", record(2, 6, 1, 3), {{2, 6, 1}, {2, 5, 1}, {2, 4, 1}}},
      {"a fraction of a cell", record(2.5f, 6.9f, 3, 2), {{2, 6, 3}, {2, 5, 3}}},
      {"a quarter turn runs along -x", record(5, 3, 0, 3, quarter), {{5, 3, 0}, {4, 3, 0}, {3, 3, 0}}},
      {"stopped at the head's edge", record(1, 2, 2, 40), {{1, 2, 2}, {1, 1, 2}, {1, 0, 2}}},
      {"a root outside lays nothing", record(1, 9, 2, 5), {}},
      {"a slice outside", record(1, 5, 4, 3), {}},
      {"no length", record(1, 5, 1, 0), {}},
      {"a negative length", record(1, 5, 1, -4), {}},
      {"a length that is no number", record(1, 5, 1, nan), {}},
      {"an angle that is no number", record(1, 5, 1, 3, nan), {}},
  };
  for (const auto& c : cases) EXPECT_EQ(laid({c.bristle}, 1), c.cells) << c.what;
}

TEST(BristleKernel, TheRecordsTheBufferHoldsAreLaidAndNoMore) {
  std::vector<Bristle> records;
  for (int k = 0; k < 6; ++k) records.push_back(record(static_cast<float>(k), 7, 0, 1));
  EXPECT_EQ(laid(records, 8).size(), 6u) << "threads past the last record read nothing";
  EXPECT_EQ(laid(records, 4).size(), 4u) << "a grid of fewer threads lays what it reaches";
  // Crossing lines: both lay the shared cell.
  EXPECT_EQ(laid({record(0, 4, 0, 4, -static_cast<float>(std::numbers::pi / 4)), record(3, 4, 0, 4, static_cast<float>(std::numbers::pi / 4))}, 2).size(), 7u);
}

}  // namespace
}  // namespace kerneltest
