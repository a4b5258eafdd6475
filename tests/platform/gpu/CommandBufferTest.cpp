// The execution model: work at commit in commit order, handlers after the work and never nested,
// uncommitted buffers doing nothing, host work in order, presents; buffers committed together.

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "GpuTestHelpers.h"
#include "foundation/Fatal.h"
#include "gpu/Parallel.h"

using namespace gputest;

namespace {

class RecordingDrawable : public gpu::Drawable {
 public:
  explicit RecordingDrawable(std::vector<std::string>& log) : log_(log), texture_(texture2D(4, 4, gpu::PixelFormat::BGRA8Unorm)) {}
  std::shared_ptr<gpu::Texture> texture() const override { return texture_; }
  void present() override { log_.push_back("present"); }

 private:
  std::vector<std::string>& log_;
  std::shared_ptr<gpu::Texture> texture_;
};

class CommandBufferTest : public ::testing::Test {
 protected:
  std::shared_ptr<gpu::CommandBuffer> buffer(const std::string& name) {
    auto b = queue->makeCommandBuffer();
    b->encodeHostWork(name, [this, name] { log.push_back(name); });
    b->addCompletedHandler([this, name](gpu::CommandBuffer&) { log.push_back(name + " done"); });
    return b;
  }

  std::shared_ptr<gpu::CommandQueue> queue = device()->makeCommandQueue();
  std::vector<std::string> log;
};

TEST_F(CommandBufferTest, UncommittedBufferDoesNothing) {
  auto a = buffer("a");
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(a->status(), gpu::CommandBufferStatus::NotEnqueued);
  a.reset();
  EXPECT_TRUE(log.empty());
}

TEST_F(CommandBufferTest, RunsAtCommitInCommitOrderWithHandlersAfterTheWork) {
  auto a = buffer("a");
  auto b = buffer("b");
  b->addCompletedHandler([&](gpu::CommandBuffer& done) {
    EXPECT_EQ(&done, b.get());
    EXPECT_EQ(done.status(), gpu::CommandBufferStatus::Completed);
  });
  b->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"b", "b done"}));
  a->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"b", "b done", "a", "a done"}));
  EXPECT_EQ(a->status(), gpu::CommandBufferStatus::Completed);
  a->waitUntilCompleted();  // returns at once
}

TEST_F(CommandBufferTest, HandlerThatCommitsDoesNotRecurse) {
  auto a = buffer("a");
  a->addCompletedHandler([&](gpu::CommandBuffer&) {
    auto b = buffer("b");
    b->commit();
    log.push_back("a's handler returns");
  });
  a->addCompletedHandler([&](gpu::CommandBuffer&) { log.push_back("a second handler"); });
  a->commit();
  log.push_back("commit returned");
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a done", "a's handler returns", "a second handler", "b", "b done",
                                           "commit returned"}));
}

TEST_F(CommandBufferTest, BuffersCommittedFromOneHandlerRunInCommitOrder) {
  auto a = buffer("a");
  a->addCompletedHandler([&](gpu::CommandBuffer&) {
    auto b = buffer("b"), c = buffer("c"), d = buffer("d");
    c->commit();
    b->commit();
    d->commit();
  });
  a->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a done", "c", "c done", "b", "b done", "d", "d done"}));
}

TEST_F(CommandBufferTest, WaitInAHandlerRunsTheQueuedBufferFirst) {
  auto a = buffer("a");
  a->addCompletedHandler([&](gpu::CommandBuffer&) {
    auto b = buffer("b");
    b->commit();
    EXPECT_EQ(b->status(), gpu::CommandBufferStatus::Committed);
    b->waitUntilCompleted();
    EXPECT_EQ(b->status(), gpu::CommandBufferStatus::Completed);
    log.push_back("waited");
  });
  a->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"a", "a done", "b", "b done", "waited"}));
}

TEST_F(CommandBufferTest, HostWorkRunsInOrderWithEncodedWork) {
  auto from = texture2D(2, 2), to = texture2D(2, 2);
  from->texels().write({1, 0, 0, 1}, 0, 0);
  auto b = queue->makeCommandBuffer();
  b->encodeHostWork("before", [&] { log.push_back(texelWord(*to, 0, 0) == 0 ? "before: empty" : "before: copied"); });
  auto blit = b->makeBlitCommandEncoder();
  blit->copy(from, 0, 0, {0, 0, 0}, {2, 2, 1}, to, 0, 0, {0, 0, 0});
  blit->endEncoding();
  b->encodeHostWork("after", [&] { log.push_back(texelWord(*to, 0, 0) == 0 ? "after: empty" : "after: copied"); });
  gpu::commandTrace().start();
  b->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"before: empty", "after: copied"}));
  ASSERT_EQ(gpu::commandTrace().commits().size(), 1u);
  EXPECT_EQ(gpu::commandTrace().commits()[0].commandBuffer, b.get());
}

TEST_F(CommandBufferTest, HostWorkShowsInTheTrace) {
  gpu::commandTrace().start();
  auto b = buffer("render");
  auto hostWork = gpu::commandTrace().hostWork();
  ASSERT_EQ(hostWork.size(), 1u);
  EXPECT_EQ(hostWork[0].label, "render");
  EXPECT_EQ(hostWork[0].commandBuffer, b.get());
}

TEST_F(CommandBufferTest, PresentsAfterTheWorkAndBeforeTheHandlers) {
  gpu::commandTrace().start();
  auto drawable = std::make_shared<RecordingDrawable>(log);
  auto b = queue->makeCommandBuffer();
  b->present(drawable);
  b->encodeHostWork("work", [&] { log.push_back("work"); });
  b->addCompletedHandler([&](gpu::CommandBuffer&) { log.push_back("done"); });
  b->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"work", "present", "done"}));
  ASSERT_EQ(gpu::commandTrace().presents().size(), 1u);
  EXPECT_EQ(gpu::commandTrace().presents()[0].drawable, drawable);
}

TEST_F(CommandBufferTest, CommittedBufferKeepsItsResourcesUntilItRuns) {
  auto to = texture2D(2, 2);
  auto b = queue->makeCommandBuffer();
  {
    auto from = texture2D(2, 2);
    from->texels().write({0, 1, 0, 1}, 1, 1);
    auto blit = b->makeBlitCommandEncoder();
    blit->copy(from, 0, 0, {0, 0, 0}, {2, 2, 1}, to, 0, 0, {0, 0, 0});
    blit->endEncoding();
  }
  b->commit();
  EXPECT_EQ(texelWord(*to, 1, 1), 0xFF00FF00u);
}

TEST_F(CommandBufferTest, MisuseStops) {
  auto b = queue->makeCommandBuffer();
  auto compute = b->makeComputeCommandEncoder();
  EXPECT_FATAL(b->makeBlitCommandEncoder(), "makeBlitCommandEncoder: an encoder of the command buffer is still open");
  EXPECT_FATAL(b->encodeHostWork("x", [] {}), "encodeHostWork: an encoder of the command buffer is still open");
  EXPECT_FATAL(b->commit(), "commit: an encoder of the command buffer is still open");
  compute->endEncoding();
  EXPECT_FATAL(compute->endEncoding(), "endEncoding: the compute encoder has ended");
  EXPECT_FATAL(b->waitUntilCompleted(), "waitUntilCompleted: the command buffer is not committed");
  b->commit();
  EXPECT_FATAL(b->commit(), "commit: the command buffer is already committed");
  EXPECT_FATAL(b->makeComputeCommandEncoder(), "makeComputeCommandEncoder: the command buffer is already committed");
  EXPECT_FATAL(b->addCompletedHandler([](gpu::CommandBuffer&) {}),
               "addCompletedHandler: the command buffer is already committed");
}

TEST_F(CommandBufferTest, WaitFromInsideWorkStops) {
  auto a = queue->makeCommandBuffer();
  a->encodeHostWork("commit and wait", [&] {
    auto b = buffer("b");
    b->commit();
    b->waitUntilCompleted();
  });
  EXPECT_FATAL(a->commit(),
               "waitUntilCompleted: called from the work of a command buffer, which must complete first");
  EXPECT_EQ(a->status(), gpu::CommandBufferStatus::Error);
  // The line starts clean again.
  buffer("c")->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"c", "c done"}));
}

// Buffers committed together run their work at the same moment: each of four waits until all four
// have started (which one after the other could never do); then they complete in their order, and
// a buffer a handler commits runs after all of them.
TEST_F(CommandBufferTest, BuffersCommittedTogetherRunSideBySideAndCompleteInOrder) {
  if (gpu::workerThreadCount() < 4) GTEST_SKIP() << "needs four worker threads";
  std::atomic<int> started{0};
  std::atomic<bool> allMet{true};
  std::vector<std::shared_ptr<gpu::CommandBuffer>> together;
  for (const std::string name : {"a", "b", "c", "d"}) {
    auto b = queue->makeCommandBuffer();
    b->encodeHostWork(name, [&] {
      started.fetch_add(1);
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
      while (started.load() < 4 && std::chrono::steady_clock::now() < until) std::this_thread::yield();
      if (started.load() < 4) allMet = false;
    });
    b->addCompletedHandler([this, name](gpu::CommandBuffer& done) {
      EXPECT_EQ(done.status(), gpu::CommandBufferStatus::Completed);
      log.push_back(name + " done");
    });
    together.push_back(b);
  }
  together[0]->addCompletedHandler([this](gpu::CommandBuffer&) { buffer("e")->commit(); });
  gpu::commandTrace().start();
  gpu::CommandBuffer::commitTogether(together);
  EXPECT_TRUE(allMet) << "the buffers' work ran one after the other";
  EXPECT_EQ(log, (std::vector<std::string>{"a done", "b done", "c done", "d done", "e", "e done"}));
  const auto commits = gpu::commandTrace().commits();
  ASSERT_EQ(commits.size(), 5u);
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(commits[i].commandBuffer, together[i].get());
  EXPECT_FATAL(gpu::CommandBuffer::commitTogether({together[1]}), "commit: the command buffer is already committed");
}

// From inside a buffer's work they wait in line and run one after the other, as commits do; a fatal
// stop in one stops them all and leaves the line clean.
TEST_F(CommandBufferTest, BuffersCommittedTogetherFromWorkWaitInLineAndAStopLeavesTheLineClean) {
  auto a = queue->makeCommandBuffer();
  a->encodeHostWork("a", [&] { gpu::CommandBuffer::commitTogether({buffer("b"), buffer("c")}); });
  a->addCompletedHandler([this](gpu::CommandBuffer&) { log.push_back("a done"); });
  a->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"a done", "b", "b done", "c", "c done"}));

  log.clear();
  auto good = queue->makeCommandBuffer(), bad = queue->makeCommandBuffer();
  good->encodeHostWork("good", [] {});
  bad->encodeHostWork("bad", [] { foundation::fatalError("the work stopped"); });
  EXPECT_FATAL(gpu::CommandBuffer::commitTogether({good, bad}), "the work stopped");
  EXPECT_EQ(bad->status(), gpu::CommandBufferStatus::Error);
  EXPECT_NE(good->status(), gpu::CommandBufferStatus::Completed);
  buffer("d")->commit();
  EXPECT_EQ(log, (std::vector<std::string>{"d", "d done"}));
  // Their work runs on the worker threads: it may not commit.
  if (gpu::workerThreadCount() < 2) return;
  auto committing = queue->makeCommandBuffer(), other = queue->makeCommandBuffer();
  committing->encodeHostWork("commits", [&] { queue->makeCommandBuffer()->commit(); });
  other->encodeHostWork("other", [] {});
  EXPECT_FATAL(gpu::CommandBuffer::commitTogether({committing, other}),
               "commit: called from the work of command buffers committed together");
}

}  // namespace
