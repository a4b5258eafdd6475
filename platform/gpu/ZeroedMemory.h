#pragma once
// A fixed block of bytes that starts all zero, the memory of textures and buffers. A large block is
// zeroed on the kits' worker threads rather than on the thread that makes it.

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
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_;
};

}  // namespace gpu
