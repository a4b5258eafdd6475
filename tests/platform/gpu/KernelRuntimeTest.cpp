// The kernel runtime visits every thread position inside the written texture exactly once, partial
// groups included, and none outside it.

#include <atomic>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

struct VisitCase {
  const char* name;
  gpu::Size texture;  // depth 1: 2-D
  gpu::Size groups, threads;
  gpu::Size visited;  // the box that must be visited once; everything else never
};

class GpuRuntimeVisits : public ::testing::TestWithParam<VisitCase> {};

TEST_P(GpuRuntimeVisits, EveryPositionInsideOnceNothingOutside) {
  const VisitCase c = GetParam();
  const std::size_t n = c.texture.width * c.texture.height * c.texture.depth;
  auto counts = std::make_unique<std::atomic<int>[]>(n);
  std::atomic<int> outside{0};
  ScopedKernel kernel("test_visit", [&](const gpu::Dispatch& d) {
    const gpu::TexelView out = d.texels(0);
    gpu::forEachThread(d, out, [&](gpu::uint3 p) {
      if (!out.contains(p)) {
        ++outside;
        return;
      }
      ++counts[(p.z * out.height() + p.y) * out.width() + p.x];
      out.write({1, 1, 1, 1}, p);
    });
  });
  auto t = c.texture.depth == 1 ? texture2D(c.texture.width, c.texture.height)
                                : texture3D(c.texture.width, c.texture.height, c.texture.depth);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(kernel.pipeline());
  encoder->setTexture(t, 0);
  encoder->dispatchThreadgroups(c.groups, c.threads);
  encoder->endEncoding();
  cb->commit();
  EXPECT_EQ(outside.load(), 0);
  for (std::size_t z = 0; z < c.texture.depth; ++z)
    for (std::size_t y = 0; y < c.texture.height; ++y)
      for (std::size_t x = 0; x < c.texture.width; ++x) {
        const bool in = x < c.visited.width && y < c.visited.height && z < c.visited.depth;
        ASSERT_EQ(counts[(z * c.texture.height + y) * c.texture.width + x].load(), in ? 1 : 0)
            << "at " << x << ", " << y << ", " << z;
      }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpuRuntimeVisits,
    ::testing::Values(
        // 102 = 25 whole groups of 4 and half a group: rounded up to 26, the last half group runs.
        VisitCase{"PartialGroups2D", {102, 102, 1}, {26, 26, 1}, {4, 4, 1}, {102, 102, 1}},
        VisitCase{"Exact2D", {256, 256, 1}, {64, 64, 1}, {4, 4, 1}, {256, 256, 1}},
        VisitCase{"PartialGroups3D", {73, 10, 9}, {19, 3, 2}, {4, 4, 8}, {73, 10, 9}},
        VisitCase{"Wide3D", {700, 5, 3}, {175, 2, 1}, {4, 4, 8}, {700, 5, 3}},
        VisitCase{"SmallerThanAGroup", {3, 2, 1}, {1, 1, 1}, {4, 4, 1}, {3, 2, 1}},
        VisitCase{"GridSmallerThanTexture", {40, 30, 1}, {5, 2, 1}, {4, 4, 1}, {20, 8, 1}},
        VisitCase{"TwoDGridOnThreeD", {8, 8, 4}, {2, 2, 1}, {4, 4, 1}, {8, 8, 1}},
        VisitCase{"OddGroupShape", {1000, 3, 1}, {34, 1, 1}, {32, 3, 1}, {1000, 3, 1}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GpuKernelRuntime, UnboundWrittenTextureRunsNoThread) {
  int visits = 0;
  ScopedKernel kernel("test_unbound", [&](const gpu::Dispatch& d) {
    gpu::forEachThread(d, d.texels(5), [&](gpu::uint3) { ++visits; });
  });
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(kernel.pipeline());
  encoder->dispatchThreadgroups({4, 4, 1}, {4, 4, 1});
  encoder->endEncoding();
  cb->commit();
  EXPECT_EQ(visits, 0);
}

TEST(GpuKernelRuntime, WholeGridWithoutALimitAndTheDispatchItself) {
  std::atomic<int> visits{0};
  gpu::Size seenGroups, seenThreads;
  ScopedKernel kernel("test_grid", [&](const gpu::Dispatch& d) {
    seenGroups = d.threadgroupsPerGrid();
    seenThreads = d.threadsPerThreadgroup();
    EXPECT_EQ(d.texture(0), nullptr);
    EXPECT_EQ(d.bufferBytes(3), nullptr);
    gpu::forEachThread(d, [&](gpu::uint3) { ++visits; });
  });
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(kernel.pipeline());
  encoder->dispatchThreadgroups({10, 1, 1}, {4, 1, 1});
  encoder->endEncoding();
  cb->commit();
  EXPECT_EQ(visits.load(), 40);
  EXPECT_EQ(seenGroups, (gpu::Size{10, 1, 1}));
  EXPECT_EQ(seenThreads, (gpu::Size{4, 1, 1}));
}

}  // namespace
