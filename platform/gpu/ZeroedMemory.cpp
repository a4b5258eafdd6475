#include "gpu/ZeroedMemory.h"

#include <sys/mman.h>

#include <cstdint>
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
// Mapped blocks from this size on start on a boundary of the system's large pages and ask for them:
// a region of a large texture has each of its rows on another small page, and reading one then cost
// more in address translation than in the copy itself; large pages take a texture's rows by the
// hundred. (Where the system keeps to small pages, the request changes nothing.)
constexpr std::size_t kLargePage = 2 << 20;

// `size` bytes of fresh pages starting on a large-page boundary: more is mapped, and what lies
// before the boundary and after the block is given back.
void* mapOnLargePages(std::size_t size) {
  const std::size_t mapped = size + kLargePage;
  void* bytes = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (bytes == MAP_FAILED) return bytes;
  const auto start = reinterpret_cast<std::uintptr_t>(bytes);
  const std::uintptr_t aligned = (start + kLargePage - 1) & ~(std::uintptr_t{kLargePage} - 1);
  const std::uintptr_t end = aligned + ((size + kPage - 1) & ~(std::uintptr_t{kPage} - 1));
  if (aligned > start) ::munmap(bytes, aligned - start);
  if (start + mapped > end) ::munmap(reinterpret_cast<void*>(end), start + mapped - end);
  ::madvise(reinterpret_cast<void*>(aligned), size, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(aligned);
}

std::size_t alignmentFor(std::size_t size) { return size >= kPage ? kPage : kCacheLine; }

std::uint8_t* allocate(std::size_t size) {
  if (size == 0) return nullptr;
  if (size >= kMappedBytes) {
    void* bytes = size >= kLargePage
                      ? mapOnLargePages(size)
                      : ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
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
