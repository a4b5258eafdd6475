// The kernel runtime visits every thread position inside the written texture exactly once, partial
// groups included, and none outside it, a position at a time or a row run at a time; its loops run on
// the kits' worker threads.

#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <functional>
#include <memory>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"

using namespace gputest;

namespace {

struct VisitCase {
  const char* name;
  gpu::Size texture;  // depth 1: 2-D
  gpu::Size groups, threads;
  gpu::Size visited;  // the box that must be visited once; everything else never
};

class KernelRuntimeVisits : public ::testing::TestWithParam<std::tuple<VisitCase, bool>> {};

TEST_P(KernelRuntimeVisits, EveryPositionInsideOnceNothingOutside) {
  const auto [c, byRows] = GetParam();
  const std::size_t n = c.texture.width * c.texture.height * c.texture.depth;
  auto counts = std::make_unique<std::atomic<int>[]>(n);
  std::atomic<int> outside{0};
  ScopedKernel kernel("test_visit", [&, byRows = byRows](const gpu::Dispatch& d) {
    const gpu::TexelView out = d.texels(0);
    const auto visit = [&](gpu::uint3 p) {
      if (!out.contains(p)) {
        ++outside;
        return;
      }
      ++counts[(p.z * out.height() + p.y) * out.width() + p.x];
    };
    if (byRows) {
      gpu::forEachRow(d, out, [&](gpu::uint3 first, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) visit({first.x + static_cast<std::uint32_t>(i), first.y, first.z});
      });
    } else {
      gpu::forEachThread(d, out, visit);
    }
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
    Cases, KernelRuntimeVisits,
    ::testing::Combine(::testing::Values(
        // 102 = 25 whole groups of 4 and half a group: rounded up to 26, the last half group runs.
        VisitCase{"PartialGroups2D", {102, 102, 1}, {26, 26, 1}, {4, 4, 1}, {102, 102, 1}},
        VisitCase{"Exact2D", {256, 256, 1}, {64, 64, 1}, {4, 4, 1}, {256, 256, 1}},
        VisitCase{"PartialGroups3D", {73, 10, 9}, {19, 3, 2}, {4, 4, 8}, {73, 10, 9}},
        VisitCase{"Wide3D", {700, 5, 3}, {175, 2, 1}, {4, 4, 8}, {700, 5, 3}},
        VisitCase{"SmallerThanAGroup", {3, 2, 1}, {1, 1, 1}, {4, 4, 1}, {3, 2, 1}},
        VisitCase{"GridSmallerThanTexture", {40, 30, 1}, {5, 2, 1}, {4, 4, 1}, {20, 8, 1}},
        VisitCase{"TwoDGridOnThreeD", {8, 8, 4}, {2, 2, 1}, {4, 4, 1}, {8, 8, 1}},
        VisitCase{"OddGroupShape", {1000, 3, 1}, {34, 1, 1}, {32, 3, 1}, {1000, 3, 1}},
        // Rows longer than one task's block: 9000 = two blocks of 4096 and a part.
        VisitCase{"LongRows", {9000, 2, 1}, {282, 1, 1}, {32, 2, 1}, {9000, 2, 1}}),
        ::testing::Bool()),
    [](const auto& info) {
      return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "ByRows" : "ByThreads");
    });

TEST(KernelRuntime, UnboundWrittenTextureRunsNoThread) {
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

TEST(KernelRuntime, WholeGridWithoutALimitAndTheDispatchItself) {
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

namespace {

// Runs `body` over one 256 x 256 dispatch of a kernel registered for the test.
void dispatch256(const std::function<void(const gpu::Dispatch&)>& body) {
  ScopedKernel kernel("test_threads", body);
  auto t = texture2D(256, 256);
  auto cb = device()->makeCommandQueue()->makeCommandBuffer();
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(kernel.pipeline());
  encoder->setTexture(t, 0);
  encoder->dispatchThreadgroups({64, 64, 1}, {4, 4, 1});
  encoder->endEncoding();
  cb->commit();
}

TEST(KernelRuntime, OneThreadRunsEveryChunkOnTheCallingThread) {
  const std::size_t machine = gpu::workerThreadCount();
  ASSERT_GE(machine, 1u);
  gpu::setWorkerThreadCount(1);
  EXPECT_EQ(gpu::workerThreadCount(), 1u);
  std::mutex mutex;
  std::set<std::thread::id> threads;
  dispatch256([&](const gpu::Dispatch& d) {
    gpu::forEachRow(d, d.texels(0), [&](gpu::uint3, std::size_t) {
      std::lock_guard<std::mutex> lock(mutex);
      threads.insert(std::this_thread::get_id());
    });
  });
  EXPECT_EQ(threads, std::set<std::thread::id>{std::this_thread::get_id()});
  gpu::setWorkerThreadCount(0);
  EXPECT_EQ(gpu::workerThreadCount(), machine);
}

TEST(KernelRuntime, ChunksCoverTheRangeOnceNestedLoopsIncluded) {
  constexpr std::size_t kOuter = 37, kInner = 1000;
  std::vector<std::atomic<int>> seen(kOuter * kInner);
  gpu::parallelFor(0, kOuter, 1, [&](std::size_t first, std::size_t end) {
    for (std::size_t i = first; i < end; ++i)
      gpu::parallelFor(3, kInner, 64, [&](std::size_t a, std::size_t b) {
        for (std::size_t j = a; j < b; ++j) ++seen[i * kInner + j];
      });
  });
  for (std::size_t k = 0; k < seen.size(); ++k) ASSERT_EQ(seen[k].load(), k % kInner < 3 ? 0 : 1) << k;
}

TEST(KernelRuntime, ChangingTheCountInsideALoopStops) {
  EXPECT_FATAL(dispatch256([](const gpu::Dispatch& d) {
                 gpu::forEachRow(d, d.texels(0), [](gpu::uint3, std::size_t) { gpu::setWorkerThreadCount(2); });
               }),
               "setWorkerThreadCount: called while a parallel loop runs");
  gpu::setWorkerThreadCount(3);  // allowed again once the loop has gone
  EXPECT_EQ(gpu::workerThreadCount(), 3u);
}

}  // namespace
