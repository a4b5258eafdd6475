#include "gpu/Scheduler.h"

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/Parallel.h"

namespace gpu {

namespace {

// Restores a flag when a scope ends, also when a fatal stop throws through it (tests).
class FlagScope {
 public:
  FlagScope(bool& flag, bool value) : flag_(flag), saved_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = saved_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

 private:
  bool& flag_;
  bool saved_;
};

// Set on a thread while it runs the work of buffers committed together.
thread_local bool inWorkTogether = false;

}  // namespace

void Scheduler::commit(std::shared_ptr<CommandBuffer> buffer) {
  // That work runs on the worker threads, where the line of buffers cannot be kept.
  if (inWorkTogether) foundation::fatalError("commit: called from the work of command buffers committed together");
  buffer->status_ = CommandBufferStatus::Committed;
  waiting_.push_back(std::move(buffer));
  if (running_) return;
  drain(nullptr);
}

void Scheduler::commitTogether(const std::vector<std::shared_ptr<CommandBuffer>>& buffers) {
  for (const auto& buffer : buffers) buffer->status_ = CommandBufferStatus::Committed;
  if (running_ || !waiting_.empty() || buffers.size() < 2 || workerThreadCount() < 2) {
    waiting_.insert(waiting_.end(), buffers.begin(), buffers.end());
    if (!running_) drain(nullptr);
    return;
  }
  {
    FlagScope running(running_, true);
    try {
      {
        FlagScope inWork(inWork_, true);
        for (const auto& buffer : buffers) buffer->status_ = CommandBufferStatus::Scheduled;
        parallelFor(0, buffers.size(), 1, [&](std::size_t first, std::size_t end) {
          const FlagScope together(inWorkTogether, true);
          for (std::size_t i = first; i < end; ++i) buffers[i]->runWorkItems();
        });
      }
      for (const auto& buffer : buffers) {
        buffer->presentDrawables();
        buffer->status_ = CommandBufferStatus::Completed;
        buffer->runCompletedHandlers();
      }
    } catch (...) {
      // A fatal stop under a test's throwing handler: what had not completed stopped with it.
      for (const auto& buffer : buffers) {
        if (buffer->status_ != CommandBufferStatus::Completed) buffer->status_ = CommandBufferStatus::Error;
      }
      waiting_.clear();
      throw;
    }
  }
  // What the handlers committed.
  if (!waiting_.empty()) drain(nullptr);
}

void Scheduler::runUntilCompleted(const CommandBuffer& buffer) {
  if (inWork_)
    foundation::fatalError(
        "waitUntilCompleted: called from the work of a command buffer, which must complete first");
  drain(&buffer);
}

void Scheduler::drain(const CommandBuffer* until) {
  FlagScope running(running_, true);
  try {
    while (!waiting_.empty()) {
      std::shared_ptr<CommandBuffer> next = std::move(waiting_.front());
      waiting_.pop_front();
      runOne(next);
      if (next.get() == until) break;
    }
  } catch (...) {
    // A fatal stop under a test's throwing handler: abandon the line so later commits start clean.
    waiting_.clear();
    throw;
  }
}

void Scheduler::runOne(const std::shared_ptr<CommandBuffer>& buffer) {
  buffer->status_ = CommandBufferStatus::Scheduled;
  try {
    FlagScope inWork(inWork_, true);
    buffer->runWork();
  } catch (...) {
    buffer->status_ = CommandBufferStatus::Error;
    throw;
  }
  buffer->status_ = CommandBufferStatus::Completed;
  buffer->runCompletedHandlers();
}

}  // namespace gpu
