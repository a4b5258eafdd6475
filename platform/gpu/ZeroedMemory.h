#pragma once
// A fixed block of bytes that starts all zero, the memory of textures and buffers. A large block is
// mapped from the system, whose fresh pages are zero, so making one writes nothing (its pages get
// memory as they are first written); it starts on a page boundary: two blocks then lie at the same
// offset within their pages, so a copy between them does not stall on loads that look (by their
// low address bits) as if they hit the stores just made. A block of a large page (2 MiB) or more
// starts on a large-page boundary and asks the system for large pages, so that work reading across
// its rows (a region of a large texture) does not wait on address translation row after row. A
// block the machine cannot give throws std::bad_alloc.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace gpu {

class ZeroedMemory {
 public:
  explicit ZeroedMemory(std::size_t size = 0);

  // Null for an empty block.
  std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }

 private:
  struct Free {
    std::size_t size;
    void operator()(std::uint8_t* bytes) const;
  };
  std::unique_ptr<std::uint8_t[], Free> bytes_;
  std::size_t size_;
};

}  // namespace gpu
