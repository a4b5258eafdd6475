#include "gpu/ZeroedMemory.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "gpu/Parallel.h"

namespace gpu {

namespace {

// Blocks from this size on are zeroed in parallel, in chunks of this size.
constexpr std::size_t kParallelZeroBytes = 1 << 20;
constexpr std::size_t kZeroChunkBytes = 256 << 10;
// Blocks from a page on start on a page; smaller ones on a cache line.
constexpr std::size_t kPage = 4096, kCacheLine = 64;

std::size_t alignmentFor(std::size_t size) { return size >= kPage ? kPage : kCacheLine; }

std::uint8_t* allocate(std::size_t size) {
  if (size == 0) return nullptr;
  return static_cast<std::uint8_t*>(::operator new[](size, std::align_val_t{alignmentFor(size)}));
}

}  // namespace

void ZeroedMemory::Free::operator()(std::uint8_t* bytes) const {
  ::operator delete[](bytes, std::align_val_t{alignment});
}

ZeroedMemory::ZeroedMemory(std::size_t size) : bytes_(allocate(size), Free{alignmentFor(size)}), size_(size) {
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
