#pragma once
// The argument table of a compute encoder and of a dispatch: a texture and a buffer (with its offset)
// per index.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace gpu {

class Buffer;
class Texture;

inline constexpr std::int64_t kMaxTextureIndex = 31;  // textures bind at 0 to 31
inline constexpr std::int64_t kMaxBufferIndex = 30;   // buffers bind at 0 to 30

struct BufferBinding {
  std::shared_ptr<Buffer> buffer;
  std::size_t offset = 0;
  friend bool operator==(const BufferBinding&, const BufferBinding&) = default;
};

struct Bindings {
  std::array<std::shared_ptr<Texture>, kMaxTextureIndex + 1> textures;
  std::array<BufferBinding, kMaxBufferIndex + 1> buffers;
  // The same objects at the same indices (and offsets).
  friend bool operator==(const Bindings&, const Bindings&) = default;
};

}  // namespace gpu
