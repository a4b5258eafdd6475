#include "gpu/ScratchArray.h"

#include <algorithm>
#include <new>
#include <vector>

namespace gpu::scratch {

namespace {

constexpr std::align_val_t kAlignment{64};

void release(Block block) noexcept {
  if (block.bytes) ::operator delete(block.bytes, block.capacity, kAlignment);
}

// The blocks one thread keeps, smallest first; freed with the thread.
class Kept {
 public:
  // Room for every block it may keep, so that giving one back never allocates.
  Kept() { blocks_.reserve(kKeptBlocks); }
  Kept(const Kept&) = delete;
  Kept& operator=(const Kept&) = delete;
  ~Kept() {
    for (const Block& block : blocks_) release(block);
  }

  Block take(std::size_t bytes) {
    const auto fits = std::find_if(blocks_.begin(), blocks_.end(), [&](const Block& b) { return b.capacity >= bytes; });
    if (fits == blocks_.end()) return {static_cast<std::byte*>(::operator new(bytes, kAlignment)), bytes};
    const Block block = *fits;
    blocks_.erase(fits);
    bytes_ -= block.capacity;
    return block;
  }

  void give(Block block) noexcept {
    if (!block.bytes) return;
    if (blocks_.size() >= kKeptBlocks || block.capacity > kKeptBytes - bytes_) {
      release(block);
      return;
    }
    blocks_.insert(std::upper_bound(blocks_.begin(), blocks_.end(), block,
                                    [](const Block& a, const Block& b) { return a.capacity < b.capacity; }),
                   block);
    bytes_ += block.capacity;
  }

  std::size_t blocks() const { return blocks_.size(); }
  std::size_t bytes() const { return bytes_; }

  static Kept& ofThisThread() {
    thread_local Kept kept;
    return kept;
  }

 private:
  std::vector<Block> blocks_;
  std::size_t bytes_ = 0;
};

}  // namespace

Block take(std::size_t bytes) { return Kept::ofThisThread().take(bytes); }
void give(Block block) noexcept { Kept::ofThisThread().give(block); }
std::size_t keptBlocks() { return Kept::ofThisThread().blocks(); }
std::size_t keptBytes() { return Kept::ofThisThread().bytes(); }

}  // namespace gpu::scratch
