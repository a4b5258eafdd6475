#include "gpu/ZeroedMemory.h"

#include <algorithm>
#include <cstring>

#include "gpu/Parallel.h"

namespace gpu {

namespace {

// Blocks from this size on are zeroed in parallel, in chunks of this size.
constexpr std::size_t kParallelZeroBytes = 1 << 20;
constexpr std::size_t kZeroChunkBytes = 256 << 10;

}  // namespace

ZeroedMemory::ZeroedMemory(std::size_t size)
    : bytes_(size == 0 ? nullptr : std::make_unique_for_overwrite<std::uint8_t[]>(size)), size_(size) {
  std::uint8_t* bytes = bytes_.get();
  if (size < kParallelZeroBytes) {
    if (size != 0) std::memset(bytes, 0, size);
    return;
  }
  const std::size_t chunks = (size + kZeroChunkBytes - 1) / kZeroChunkBytes;
  parallelFor(0, chunks, 1, [bytes, size](std::size_t first, std::size_t end) {
    const std::size_t from = first * kZeroChunkBytes, to = std::min(size, end * kZeroChunkBytes);
    std::memset(bytes + from, 0, to - from);
  });
}

}  // namespace gpu
