#include "gpu/ZeroedMemory.h"

#include <sys/mman.h>

#include <cstring>
#include <new>

namespace gpu {

namespace {

// Blocks from this size on are mapped straight from the system, whose fresh pages read as zero:
// nothing needs writing, and a page is only given memory when it is first written. Smaller ones
// come from the heap, where they may reuse memory, and are zeroed.
constexpr std::size_t kMappedBytes = 1 << 20;
// Heap blocks from a page on start on a page; smaller ones on a cache line. Mapped blocks always
// start on a page.
constexpr std::size_t kPage = 4096, kCacheLine = 64;

std::size_t alignmentFor(std::size_t size) { return size >= kPage ? kPage : kCacheLine; }

std::uint8_t* allocate(std::size_t size) {
  if (size == 0) return nullptr;
  if (size >= kMappedBytes) {
    void* bytes = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (bytes == MAP_FAILED) throw std::bad_alloc();
    return static_cast<std::uint8_t*>(bytes);
  }
  auto* bytes = static_cast<std::uint8_t*>(::operator new[](size, std::align_val_t{alignmentFor(size)}));
  std::memset(bytes, 0, size);
  return bytes;
}

}  // namespace

void ZeroedMemory::Free::operator()(std::uint8_t* bytes) const {
  if (size >= kMappedBytes) {
    ::munmap(bytes, size);
  } else {
    ::operator delete[](bytes, std::align_val_t{alignmentFor(size)});
  }
}

ZeroedMemory::ZeroedMemory(std::size_t size) : bytes_(allocate(size), Free{size}), size_(size) {}

}  // namespace gpu
