#include "gpu/Parallel.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>

#include <oneapi/tbb/blocked_range.h>
#include <oneapi/tbb/info.h>
#include <oneapi/tbb/parallel_for.h>
#include <oneapi/tbb/task_arena.h>

#include "foundation/Fatal.h"

namespace gpu {

namespace {

// The process's one arena and its thread count. Loops count themselves in and out, so the count is
// never changed under a running loop.
class Workers {
 public:
  Workers() : arena_(static_cast<int>(machineThreadCount())), threads_(machineThreadCount()) {}

  tbb::task_arena& arena() { return arena_; }
  std::size_t threads() const { return threads_.load(std::memory_order_relaxed); }
  std::atomic<int>& running() { return running_; }

  void setThreads(std::size_t count) {
    const std::size_t wanted = count == 0 ? machineThreadCount() : count;
    std::lock_guard<std::mutex> lock(mutex_);
    if (running_.load() != 0)
      foundation::fatalError("setWorkerThreadCount: called while a parallel loop runs");
    if (wanted == threads()) return;
    arena_.terminate();
    arena_.initialize(static_cast<int>(wanted));
    threads_.store(wanted, std::memory_order_relaxed);
  }

 private:
  tbb::task_arena arena_;
  std::atomic<std::size_t> threads_;
  std::atomic<int> running_{0};
  std::mutex mutex_;
};

Workers& workers() {
  static Workers w;
  return w;
}

// Counts a loop in for its lifetime, also when a chunk's exception leaves it.
class RunningLoop {
 public:
  explicit RunningLoop(std::atomic<int>& running) : running_(running) { running_.fetch_add(1); }
  ~RunningLoop() { running_.fetch_sub(1); }
  RunningLoop(const RunningLoop&) = delete;
  RunningLoop& operator=(const RunningLoop&) = delete;

 private:
  std::atomic<int>& running_;
};

}  // namespace

void parallelFor(std::size_t begin, std::size_t end, std::size_t grain, ChunkBody body) {
  if (end <= begin) return;
  grain = std::max<std::size_t>(grain, 1);
  Workers& w = workers();
  if (end - begin <= grain || w.threads() == 1) {
    body(begin, end);
    return;
  }
  RunningLoop running(w.running());
  w.arena().execute([&] {
    tbb::parallel_for(tbb::blocked_range<std::size_t>(begin, end, grain),
                      [&](const tbb::blocked_range<std::size_t>& chunk) { body(chunk.begin(), chunk.end()); });
  });
}

std::size_t workerThreadCount() { return workers().threads(); }

std::size_t machineThreadCount() { return static_cast<std::size_t>(std::max(1, tbb::info::default_concurrency())); }

void setWorkerThreadCount(std::size_t count) { workers().setThreads(count); }

}  // namespace gpu
