#pragma once
// Plain value types of the GPU API: pixel formats, texture kinds and flags, and the origins, sizes and
// regions of texel copies.

#include <cstddef>
#include <cstdint>

namespace gpu {

// Pixel formats. The values are those the platform's API gives them, so that the numbers a host
// stores or prints stay the same.
enum class PixelFormat : std::uint32_t {
  Invalid = 0,
  RGBA8Unorm = 70,
  BGRA8Unorm = 80,
  RGBA32Float = 125,  // 16 bytes per texel
};

// Bytes of one texel of `format` (0 for Invalid).
constexpr std::size_t bytesPerPixel(PixelFormat format) {
  switch (format) {
    case PixelFormat::RGBA8Unorm:
    case PixelFormat::BGRA8Unorm:
      return 4;
    case PixelFormat::RGBA32Float:
      return 16;
    case PixelFormat::Invalid:
      break;
  }
  return 0;
}

// Texture kinds, with the platform's raw values.
enum class TextureType : std::uint32_t {
  Type2D = 2,
  Type3D = 7,
};

// What a texture is used for. The CPU stand-in records the flags and lets every texture be read and
// written by kernels, blits and the CPU whatever they say.
enum class TextureUsage : std::uint32_t {
  Unknown = 0,
  ShaderRead = 1,
  ShaderWrite = 2,
  RenderTarget = 4,
};
constexpr TextureUsage operator|(TextureUsage a, TextureUsage b) {
  return static_cast<TextureUsage>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// Where a resource's memory lives; recorded only (all memory is CPU memory here).
enum class StorageMode : std::uint32_t {
  Shared = 0,
  Managed = 1,
  Private = 2,
};

// Options of a buffer; recorded only. Default is the empty set.
enum class ResourceOptions : std::uint32_t {
  Default = 0,
  CPUCacheModeWriteCombined = 1,
  StorageModeManaged = 16,
  StorageModePrivate = 32,
};
constexpr ResourceOptions operator|(ResourceOptions a, ResourceOptions b) {
  return static_cast<ResourceOptions>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

// The life of a command buffer.
enum class CommandBufferStatus : std::uint32_t {
  NotEnqueued = 0,
  Enqueued = 1,
  Committed = 2,  // committed, waiting behind the buffer that runs now
  Scheduled = 3,  // its work is running
  Completed = 4,
  Error = 5,
};

struct Origin {
  std::size_t x = 0, y = 0, z = 0;
  friend bool operator==(const Origin&, const Origin&) = default;
};

struct Size {
  std::size_t width = 0, height = 0, depth = 0;
  friend bool operator==(const Size&, const Size&) = default;
};

struct Region {
  Origin origin;
  Size size;
  friend bool operator==(const Region&, const Region&) = default;

  static constexpr Region make2D(std::size_t x, std::size_t y, std::size_t width, std::size_t height) {
    return Region{{x, y, 0}, {width, height, 1}};
  }
  static constexpr Region make3D(std::size_t x, std::size_t y, std::size_t z, std::size_t width,
                                 std::size_t height, std::size_t depth) {
    return Region{{x, y, z}, {width, height, depth}};
  }
};

}  // namespace gpu
