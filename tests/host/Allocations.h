#pragma once
// The program's own memory, watched: the host tests' executable replaces operator new so that it
// counts the bytes held through it (the program's own memory: textures are mapped apart from it)
// and, while a FailingAllocation lives, makes the n-th allocation of at least a given size throw
// std::bad_alloc, as it does on a machine without the memory. The C libraries' own allocations
// (zstd, libpng) are not touched.

#include <cstddef>

namespace hosttest {

// The bytes allocated through operator new and not yet given back.
std::size_t heldBytes();

class FailingAllocation {
 public:
  // The `n`-th allocation from now (1 = the next) of at least `bytes` bytes fails; n = 0 fails none
  // and only counts them.
  FailingAllocation(std::size_t n, std::size_t bytes);
  ~FailingAllocation();
  FailingAllocation(const FailingAllocation&) = delete;
  FailingAllocation& operator=(const FailingAllocation&) = delete;

  // The allocations of at least `bytes` so far, the failed one included.
  std::size_t count() const;
};

}  // namespace hosttest
