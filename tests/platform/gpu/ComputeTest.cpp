// Compute encoding: binding snapshots, shared textures, buffer bytes in the trace, and the checks.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "foundation/Fatal.h"
#include "GpuTestHelpers.h"
#include "gpu/Parallel.h"

using namespace gputest;

namespace {

// Adds the float at buffer 0 to the red channel of every texel of texture 1, reading texture 0.
void addKernel(const gpu::Dispatch& d) {
  const gpu::TexelView in = d.texels(0), out = d.texels(1);
  const float* addend = d.bufferAs<float>(0);
  if (addend == nullptr) return;
  const float add = *addend;
  gpu::forEachThread(d, out, [&](gpu::uint3 p) {
    gpu::float4 v = in.read(p);
    v.x += add;
    out.write(v, p);
  });
}

class Compute : public ::testing::Test {
 protected:
  std::shared_ptr<gpu::Buffer> floatBuffer(float value) { return device()->makeBuffer(&value, sizeof value); }

  ScopedKernel add{"test_add", addKernel};
  std::shared_ptr<gpu::CommandBuffer> cb = device()->makeCommandQueue()->makeCommandBuffer();
};

TEST_F(Compute, PipelineKnowsItsFunctionAndWidths) {
  auto pipeline = add.pipeline();
  ASSERT_NE(pipeline, nullptr);
  EXPECT_EQ(pipeline->functionName(), "test_add");
  EXPECT_EQ(pipeline->threadExecutionWidth(), 32u);
  EXPECT_EQ(pipeline->maxTotalThreadsPerThreadgroup(), 1024u);
}

TEST_F(Compute, UnknownKernelGivesNoFunction) {
  EXPECT_EQ(device()->makeDefaultLibrary()->makeFunction("no_such_kernel"), nullptr);
  EXPECT_NE(device()->makeDefaultLibrary()->makeFunction("test_add"), nullptr);
}

TEST_F(Compute, EachDispatchSnapshotsItsBindings) {
  auto a = texture2D(4, 4), b = texture2D(4, 4), c = texture2D(4, 4);
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(add.pipeline());
  encoder->setTexture(a, 0);
  encoder->setTexture(b, 1);
  auto value = floatBuffer(0.5f);
  encoder->setBuffer(value, 0, 0);
  encoder->dispatchThreadgroups({1, 1, 1}, {4, 4, 1});
  // Rebinding after the dispatch changes only the next one.
  encoder->setTexture(c, 1);
  encoder->setBuffer(floatBuffer(0.25f), 0, 0);
  encoder->dispatchThreadgroups({1, 1, 1}, {4, 4, 1});
  encoder->endEncoding();
  cb->commit();
  EXPECT_NEAR(b->texels().read(3, 3).x, 0.5f, 1.0f / 255);
  EXPECT_NEAR(c->texels().read(3, 3).x, 0.25f, 1.0f / 255);
}

TEST_F(Compute, SameTextureAtReadAndWriteIndex) {
  auto t = texture2D(5, 3);
  t->texels().write({0.25f, 0, 0, 1}, 4, 2);
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(add.pipeline());
  encoder->setTexture(t, 0);
  encoder->setTexture(t, 1);
  encoder->setBuffer(floatBuffer(0.5f), 0, 0);
  encoder->dispatchThreadgroups({2, 1, 1}, {4, 4, 1});
  encoder->endEncoding();
  cb->commit();
  EXPECT_NEAR(t->texels().read(4, 2).x, 0.75f, 1.0f / 255);
  EXPECT_NEAR(t->texels().read(0, 0).x, 0.5f, 1.0f / 255);
}

TEST_F(Compute, TraceKeepsNameTexturesBufferBytesAndSizes) {
  auto pipeline = add.pipeline();
  gpu::commandTrace().start();
  auto a = texture2D(4, 4);
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(pipeline);
  encoder->setTexture(a, 0);
  encoder->setTexture(a, 1);
  auto value = floatBuffer(0.5f);
  encoder->setBuffer(value, 0, 0);
  std::uint32_t words[2] = {7, 9};
  encoder->setBuffer(device()->makeBuffer(words, sizeof words), 4, 19);
  encoder->dispatchThreadgroups({1, 2, 3}, {4, 4, 1});
  *reinterpret_cast<float*>(value->contents()) = 2.0f;  // after the dispatch: not in its record
  encoder->endEncoding();

  auto dispatches = gpu::commandTrace().dispatches();
  ASSERT_EQ(dispatches.size(), 1u);
  const gpu::DispatchRecord& d = dispatches[0];
  EXPECT_EQ(d.commandBuffer, cb.get());
  EXPECT_EQ(d.kernelName, "test_add");
  EXPECT_EQ(d.textures.size(), 2u);
  EXPECT_EQ(d.textures.at(0), a);
  EXPECT_EQ(d.textures.at(1), a);
  ASSERT_EQ(d.buffers.size(), 2u);
  float recorded = 0;
  std::memcpy(&recorded, d.buffers.at(0).bytes.data(), 4);
  EXPECT_EQ(recorded, 0.5f);
  EXPECT_EQ(d.buffers.at(19).offset, 4u);
  EXPECT_EQ(d.buffers.at(19).bytes, (std::vector<std::uint8_t>{9, 0, 0, 0}));
  EXPECT_EQ(d.threadgroupsPerGrid, (gpu::Size{1, 2, 3}));
  EXPECT_EQ(d.threadsPerThreadgroup, (gpu::Size{4, 4, 1}));
  EXPECT_EQ(gpu::commandTrace().kernelNames(), std::vector<std::string>{"test_add"});
  const auto& events = gpu::commandTrace().events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_TRUE(std::get<gpu::EncoderRecord>(events.front()).begin);
  EXPECT_FALSE(std::get<gpu::EncoderRecord>(events.back()).begin);
}

TEST_F(Compute, NothingIsRecordedWithoutATrace) {
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(add.pipeline());
  encoder->dispatchThreadgroups({0, 0, 0}, {4, 4, 1});
  encoder->endEncoding();
  cb->commit();
  EXPECT_TRUE(gpu::commandTrace().events().empty());
}

TEST_F(Compute, PipelineBuildsAreTraced) {
  gpu::commandTrace().start();
  add.pipeline();
  add.pipeline();
  EXPECT_EQ(gpu::commandTrace().pipelineBuilds().size(), 2u);
}

TEST_F(Compute, BadEncodingStops) {
  auto encoder = cb->makeComputeCommandEncoder();
  EXPECT_FATAL(encoder->dispatchThreadgroups({1, 1, 1}, {4, 4, 1}),
               "dispatchThreadgroups: no compute pipeline state is set");
  EXPECT_FATAL(encoder->setTexture(nullptr, 32), "setTexture: index 32 is out of range 0 to 31");
  EXPECT_FATAL(encoder->setTexture(nullptr, -1), "setTexture: index -1 is out of range 0 to 31");
  EXPECT_FATAL(encoder->setBuffer(nullptr, 0, 31), "setBuffer: index 31 is out of range 0 to 30");
  EXPECT_FATAL(encoder->setBuffer(floatBuffer(1), 5, 0), "setBuffer: offset 5 is beyond the buffer's 4 bytes");
  encoder->setComputePipelineState(add.pipeline());
  EXPECT_FATAL(encoder->dispatchThreadgroups({1, 1, 1}, {0, 4, 1}),
               "dispatchThreadgroups: a thread group of 0 x 4 x 1 has no thread");
  EXPECT_FATAL(encoder->dispatchThreadgroups({1, 1, 1}, {32, 32, 2}),
               "dispatchThreadgroups: a thread group of 32 x 32 x 2 exceeds 1024 threads");
}

TEST_F(Compute, KernelReadingATooShortBufferStops) {
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(add.pipeline());
  std::uint8_t one = 1;
  encoder->setBuffer(device()->makeBuffer(&one, 1), 0, 0);
  encoder->dispatchThreadgroups({1, 1, 1}, {4, 4, 1});
  encoder->endEncoding();
  EXPECT_FATAL(cb->commit(),
               "Dispatch: the buffer at index 0 of kernel \"test_add\" holds 1 bytes, fewer than the 4 the kernel reads");
}

TEST_F(Compute, FatalInsideTheParallelBodyIsCarriedOut) {
  ScopedKernel failing("test_failing", [](const gpu::Dispatch& d) {
    gpu::forEachThread(d, [](gpu::uint3 p) {
      if (p.x == 33) foundation::fatalError("thread 33 stops");
    });
  });
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(failing.pipeline());
  encoder->dispatchThreadgroups({64, 1, 1}, {4, 1, 1});
  encoder->endEncoding();
  EXPECT_FATAL(cb->commit(), "thread 33 stops");
}

}  // namespace

// Records, dispatch by dispatch, whether each repeats the one that ran before it.
std::vector<bool> repeatMarks;
void markKernel(const gpu::Dispatch& d) { repeatMarks.push_back(d.repeatsPrevious()); }

TEST_F(Compute, ADispatchRepeatsOnlyTheSameDispatchJustBeforeIt) {
  ScopedKernel mark{"test_mark", markKernel};
  repeatMarks.clear();
  auto a = texture2D(4, 4), b = texture2D(4, 4);
  const auto pipeline = mark.pipeline();
  auto encoder = cb->makeComputeCommandEncoder();
  encoder->setComputePipelineState(pipeline);
  encoder->setTexture(a, 0);
  const auto value = floatBuffer(0.5f);
  encoder->setBuffer(value, 0, 0);
  const auto again = [&](gpu::Size groups = {1, 1, 1}, gpu::Size threads = {4, 4, 1}) {
    encoder->dispatchThreadgroups(groups, threads);
  };
  again();                  // the first
  again();                  // a repeat
  again();                  // and another
  encoder->setTexture(b, 1);
  again();                  // a texture more
  encoder->setTexture(b, 0);
  encoder->setTexture(nullptr, 1);
  again();                  // another texture at 0
  encoder->setBuffer(value, 4, 0);
  again();                  // another offset
  encoder->setBuffer(floatBuffer(0.5f), 0, 0);
  again();                  // another buffer of the same bytes
  again({2, 1, 1});         // more groups
  again({2, 1, 1}, {2, 4, 1});  // smaller groups
  again({0, 1, 1});         // an empty grid runs nothing
  again({2, 1, 1}, {2, 4, 1});  // so the last that ran is repeated
  encoder->setComputePipelineState(add.pipeline());
  encoder->setComputePipelineState(pipeline);
  again({2, 1, 1}, {2, 4, 1});  // the same pipeline set again
  encoder->setComputePipelineState(mark.pipeline());
  again({2, 1, 1}, {2, 4, 1});  // another pipeline of the same kernel
  encoder->endEncoding();
  auto next = cb->makeComputeCommandEncoder();
  next->setComputePipelineState(pipeline);
  next->setTexture(b, 0);
  next->setBuffer(value, 4, 0);
  next->dispatchThreadgroups({2, 1, 1}, {2, 4, 1});  // a new encoder repeats nothing
  next->endEncoding();
  cb->commit();
  EXPECT_EQ(repeatMarks, (std::vector<bool>{false, true, true, false, false, false, false, false, false, true, true,
                                            false, false}));
}

// Which dispatches may run side by side: both kernels say what they write, and neither writes a
// texture or buffer the other binds. Kernel "w1" writes texture slot 1, "wb2" buffer slot 2; "any"
// says nothing.
TEST_F(Compute, DispatchesAreIndependentOnlyWhenNeitherWritesWhatTheOtherBinds) {
  ScopedKernel w1{"test_w1", [](const gpu::Dispatch&) {}, gpu::WrittenSlots::of({1})};
  ScopedKernel wb2{"test_wb2", [](const gpu::Dispatch&) {}, gpu::WrittenSlots::of({}, {2})};
  ScopedKernel any{"test_any", [](const gpu::Dispatch&) {}};
  auto t = texture2D(4, 4), u = texture2D(4, 4), v = texture2D(4, 4);
  auto buffer = floatBuffer(1.0f), other = floatBuffer(1.0f);
  using Textures = std::vector<std::pair<int, std::shared_ptr<gpu::Texture>>>;
  using Buffers = std::vector<std::pair<int, std::shared_ptr<gpu::Buffer>>>;
  const auto dispatch = [](const ScopedKernel& kernel, const Textures& textures, const Buffers& buffers = {}) {
    gpu::Bindings b;
    for (const auto& [slot, texture] : textures) b.textures[static_cast<std::size_t>(slot)] = texture;
    for (const auto& [slot, bound] : buffers) b.buffers[static_cast<std::size_t>(slot)] = {bound, 0};
    return gpu::Dispatch(kernel.pipeline(), b, {1, 1, 1}, {4, 4, 1});
  };
  struct Case {
    const char* what;
    gpu::Dispatch first, second;
    bool independent;
  };
  const Case cases[] = {
      {"both read t, each writes its own", dispatch(w1, {{0, t}, {1, u}}), dispatch(w1, {{0, t}, {1, v}}), true},
      {"the second reads what the first writes", dispatch(w1, {{0, t}, {1, u}}), dispatch(w1, {{0, u}, {1, v}}), false},
      {"the second writes what the first reads", dispatch(w1, {{0, t}, {1, u}}), dispatch(w1, {{0, v}, {1, t}}), false},
      {"both write one texture", dispatch(w1, {{1, u}}), dispatch(w1, {{1, u}}), false},
      {"the first's written texture at another slot", dispatch(w1, {{1, u}}), dispatch(w1, {{7, u}, {1, v}}), false},
      {"a kernel that says nothing", dispatch(w1, {{0, t}, {1, u}}), dispatch(any, {{0, t}, {1, v}}), false},
      {"both bind one buffer, neither writes it", dispatch(w1, {{1, u}}, {{0, buffer}}),
       dispatch(w1, {{1, v}}, {{3, buffer}}), true},
      {"a written buffer bound by the other", dispatch(wb2, {}, {{2, buffer}}), dispatch(w1, {{1, u}}, {{3, buffer}}),
       false},
      {"written buffers of their own", dispatch(wb2, {}, {{2, buffer}}), dispatch(wb2, {}, {{2, other}}), true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.first.independentOf(c.second), c.independent) << c.what;
    EXPECT_EQ(c.second.independentOf(c.first), c.independent) << c.what << " (the other way round)";
  }
  EXPECT_FATAL(gpu::WrittenSlots::of({32}), "WrittenSlots: texture slot 32 is out of range 0 to 31");
  EXPECT_FATAL(gpu::WrittenSlots::of({}, {-1}), "WrittenSlots: buffer slot -1 is out of range 0 to 30");
}

// Independent dispatches of one buffer run at the same moment: three "meet" dispatches each wait
// until all three have started, which one after the other they never could. A dispatch that reads
// what one of them wrote runs after it and sees its result; one whose kernel says nothing runs after
// everything before it.
TEST_F(Compute, IndependentDispatchesRunSideBySideAndDependentOnesAfterWhatTheyRead) {
  if (gpu::workerThreadCount() < 3) GTEST_SKIP() << "needs three worker threads";
  static std::atomic<int> started;
  static std::atomic<bool> allMet;
  static std::mutex logMutex;
  static std::vector<std::string> log;
  started = 0, allMet = true, log.clear();
  const auto note = [](const gpu::Dispatch& d, const char* what) {
    std::lock_guard<std::mutex> lock(logMutex);
    log.push_back(what + std::to_string(static_cast<int>(*d.bufferAs<float>(0))));
  };
  // Writes its number into texture 1's first texel once three have started.
  ScopedKernel meet{"test_meet",
                    [note](const gpu::Dispatch& d) {
                      started.fetch_add(1);
                      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
                      while (started.load() < 3 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
                      if (started.load() < 3) allMet = false;
                      d.texels(1).write({*d.bufferAs<float>(0) / 255.0f, 0, 0, 1}, 0, 0);
                      note(d, "meet ");
                    },
                    gpu::WrittenSlots::of({1})};
  // Copies texture 0's first texel to texture 1's.
  ScopedKernel copy{"test_copy",
                    [note](const gpu::Dispatch& d) {
                      d.texels(1).write(d.texels(0).read(0, 0), 0, 0);
                      note(d, "copy ");
                    },
                    gpu::WrittenSlots::of({1})};
  ScopedKernel alone{"test_alone", [note](const gpu::Dispatch& d) { note(d, "alone "); }};
  auto shared = texture2D(1, 1), copied = texture2D(1, 1);
  std::vector<std::shared_ptr<gpu::Texture>> written;
  auto encoder = cb->makeComputeCommandEncoder();
  const auto run = [&](const ScopedKernel& kernel, float number, std::shared_ptr<gpu::Texture> in,
                       std::shared_ptr<gpu::Texture> out) {
    encoder->setComputePipelineState(kernel.pipeline());
    encoder->setTexture(std::move(in), 0);
    encoder->setTexture(std::move(out), 1);
    encoder->setBuffer(floatBuffer(number), 0, 0);
    encoder->dispatchThreadgroups({1, 1, 1}, {1, 1, 1});
  };
  for (int i = 1; i <= 3; ++i) {
    written.push_back(texture2D(1, 1));
    run(meet, static_cast<float>(i), shared, written.back());
  }
  run(copy, 4, written[1], copied);
  run(alone, 5, nullptr, nullptr);
  encoder->endEncoding();
  cb->commit();
  EXPECT_TRUE(allMet) << "the independent dispatches ran one after the other";
  ASSERT_EQ(log.size(), 5u);
  const auto at = [&](const std::string& entry) { return std::find(log.begin(), log.end(), entry) - log.begin(); };
  EXPECT_LT(at("meet 2"), at("copy 4"));
  EXPECT_EQ(log.back(), "alone 5");
  EXPECT_EQ(texelWord(*copied, 0, 0) & 0xFF, 2u) << "the copy read what the second meet wrote";
}
