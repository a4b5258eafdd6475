#include "Allocations.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {

std::atomic<std::size_t> gHeld{0};
// Allocations of at least this size are counted; none while no FailingAllocation lives.
std::atomic<std::size_t> gLeast{std::numeric_limits<std::size_t>::max()};
std::atomic<std::size_t> gCount{0};
std::atomic<std::size_t> gFailing{0};  // the count at which an allocation fails; 0: none

void* allocate(std::size_t size) {
  if (size >= gLeast.load(std::memory_order_relaxed) && gCount.fetch_add(1) + 1 == gFailing.load()) throw std::bad_alloc();
  void* memory = std::malloc(size == 0 ? 1 : size);
  if (memory == nullptr) throw std::bad_alloc();
  gHeld.fetch_add(::malloc_usable_size(memory), std::memory_order_relaxed);
  return memory;
}

void release(void* memory) noexcept {
  if (memory == nullptr) return;
  gHeld.fetch_sub(::malloc_usable_size(memory), std::memory_order_relaxed);
  std::free(memory);
}

void* allocateOrNull(std::size_t size) noexcept {
  try {
    return allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

}  // namespace

// Every form of the plain allocation and release, so that what one allocates another releases.
void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocateOrNull(size); }
void operator delete(void* memory) noexcept { release(memory); }
void operator delete[](void* memory) noexcept { release(memory); }
void operator delete(void* memory, std::size_t) noexcept { release(memory); }
void operator delete[](void* memory, std::size_t) noexcept { release(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { release(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { release(memory); }

namespace hosttest {

std::size_t heldBytes() { return gHeld; }

FailingAllocation::FailingAllocation(std::size_t n, std::size_t bytes) {
  gCount = 0;
  gFailing = n;
  gLeast = bytes;
}

FailingAllocation::~FailingAllocation() {
  gLeast = std::numeric_limits<std::size_t>::max();
  gFailing = 0;
}

std::size_t FailingAllocation::count() const { return gCount; }

}  // namespace hosttest
