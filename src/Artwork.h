#pragma once
// The artwork a canvas paints on, and the working-region geometry every tool pass shares.

#include <cstdint>

#include "gpu/Types.h"

namespace tessivarium {

// Half the side of the square working region a tool works in.
inline constexpr std::int64_t MAC_HALF_WIDTH = 128;
// Side of the working region, and of the shared 2-D working textures.
inline constexpr std::int64_t MAC_WIDTH = 2 * MAC_HALF_WIDTH;
// The depth every tool starts with.
inline constexpr std::int64_t MAC_DEPTH = 32;

// Pixel format of every layer and working texture (layer views draw in BGRA8 instead).
inline constexpr gpu::PixelFormat DefaultPixelFormat = gpu::PixelFormat::RGBA8Unorm;

}  // namespace tessivarium
