#pragma once
// The working memory of a kernel for one dispatch: the map of the cells a pass changed, the copy of
// the window a blur reads, the columns of a head. On a GPU such memory comes with the dispatch. Here
// each dispatch would allocate it anew, and a block of a few hundred kilobytes then comes fresh from
// the system at every frame, page by page (the allocator maps and unmaps it, or gives the top of its
// heap back when it is freed): that took up to two thirds of a small tool's frame, and more or less
// as the process had happened to free large blocks before. A ScratchArray instead takes a block that
// its thread kept from earlier dispatches, the smallest that holds it, and gives it back when it
// goes. A thread keeps at most kKeptBlocks blocks of kKeptBytes in all; a block given back beyond
// that is freed.
//
// Its elements are value-initialised (0 for numbers), as those of a std::vector of the size are;
// only trivially copyable and destructible elements are held. An array belongs to the kernel that
// made it: its elements may be written from the worker threads, but it is made and dropped on one
// thread (dropped on another, its block goes to that thread's keeping).

#include <cstddef>
#include <limits>
#include <memory>
#include <new>
#include <type_traits>
#include <utility>

namespace gpu {

namespace scratch {

inline constexpr std::size_t kKeptBlocks = 32;
inline constexpr std::size_t kKeptBytes = std::size_t{32} << 20;

// A block of memory on a cache line; empty when capacity is 0.
struct Block {
  std::byte* bytes = nullptr;
  std::size_t capacity = 0;
};

// A block of at least `bytes` bytes: the smallest the calling thread keeps that holds them, or a new
// one. Throws std::bad_alloc when the machine has no memory for it.
Block take(std::size_t bytes);
// Keeps `block` for the calling thread's later arrays, or frees it when the thread keeps enough.
void give(Block block) noexcept;
// The number of blocks and bytes the calling thread keeps.
std::size_t keptBlocks();
std::size_t keptBytes();

}  // namespace scratch

template <class T>
class ScratchArray {
  static_assert(std::is_trivially_copyable_v<T> && std::is_trivially_destructible_v<T>,
                "a scratch array holds plain values");
  static_assert(alignof(T) <= 64, "scratch blocks lie on a cache line");

 public:
  ScratchArray() = default;
  explicit ScratchArray(std::size_t count) { assign(count, T{}); }
  ScratchArray(std::size_t count, const T& value) { assign(count, value); }
  ~ScratchArray() { scratch::give(block_); }
  ScratchArray(ScratchArray&& other) noexcept
      : block_(std::exchange(other.block_, {})), data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)) {}
  ScratchArray& operator=(ScratchArray&& other) noexcept {
    if (this != &other) {
      scratch::give(std::exchange(block_, std::exchange(other.block_, {})));
      data_ = std::exchange(other.data_, nullptr), size_ = std::exchange(other.size_, 0);
    }
    return *this;
  }
  ScratchArray(const ScratchArray&) = delete;
  ScratchArray& operator=(const ScratchArray&) = delete;

  // `count` copies of `value`, in this array's block when it holds them.
  void assign(std::size_t count, const T& value) {
    if (count > block_.capacity / sizeof(T)) {
      if (count > std::numeric_limits<std::size_t>::max() / sizeof(T)) throw std::bad_alloc();
      scratch::give(std::exchange(block_, {}));
      data_ = nullptr, size_ = 0;
      block_ = scratch::take(count * sizeof(T));
    }
    data_ = count == 0 ? nullptr : std::uninitialized_fill_n(reinterpret_cast<T*>(block_.bytes), count, value) - count;
    size_ = count;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* data() { return data_; }
  const T* data() const { return data_; }
  T& operator[](std::size_t i) { return data_[i]; }
  const T& operator[](std::size_t i) const { return data_[i]; }
  const T& back() const { return data_[size_ - 1]; }
  T* begin() { return data_; }
  T* end() { return data_ + size_; }
  const T* begin() const { return data_; }
  const T* end() const { return data_ + size_; }

 private:
  scratch::Block block_;
  T* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace gpu
