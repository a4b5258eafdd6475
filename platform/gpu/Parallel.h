#pragma once
// The kits' one set of worker threads. Every parallel loop of the kits (kernel dispatches, blits, the
// blur copy, the imaging render) runs through parallelFor, on one oneTBB arena shared by the whole
// process: chunks are handed out dynamically, the calling thread works too, and idle workers spin
// briefly and then sleep, so neither a preempted thread nor a wake-up holds a whole loop back.

#include <cstddef>
#include <memory>
#include <type_traits>

namespace gpu {

// A reference to a callable taking (first, end) of a chunk, without owning or copying it.
class ChunkBody {
 public:
  template <class F, class = std::enable_if_t<!std::is_same_v<std::remove_cvref_t<F>, ChunkBody>>>
  ChunkBody(F&& f)  // NOLINT: implicit, so a lambda passes straight in
      : object_(const_cast<void*>(static_cast<const void*>(std::addressof(f)))),
        call_([](void* object, std::size_t first, std::size_t end) {
          (*static_cast<std::remove_reference_t<F>*>(object))(first, end);
        }) {}

  void operator()(std::size_t first, std::size_t end) const { call_(object_, first, end); }

 private:
  void* object_;
  void (*call_)(void*, std::size_t, std::size_t);
};

// Calls body(first, end) for disjoint chunks that together cover [begin, end), on the worker threads
// and the calling thread; returns when all have run. A range is split while it is longer than `grain`
// (halves, so a chunk holds at least about half a grain); a range no longer than `grain` is one chunk
// run on the calling thread. The first exception a chunk throws (a fatal stop
// under a test's throwing handler) is rethrown here once every running chunk has stopped; chunks not
// yet started are skipped.
void parallelFor(std::size_t begin, std::size_t end, std::size_t grain, ChunkBody body);

// The threads a parallel loop runs on, the calling thread included: the machine's cores unless the
// host set another count.
std::size_t workerThreadCount();

// The machine's cores, as the thread library counts them: the most threads a loop runs on (a
// larger count leaves the library making no more, with a warning of its own on standard error).
std::size_t machineThreadCount();

// Sets the thread count (0: the machine's cores). The host calls it before parallel work starts or
// between frames; calling it while a parallel loop runs is a fatal stop.
void setWorkerThreadCount(std::size_t count);

}  // namespace gpu
