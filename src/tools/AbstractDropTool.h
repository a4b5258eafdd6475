#pragma once
// Shared geometry of the drop tools (paint tube, sprayer).

#include "Artwork.h"
#include "gpu/Types.h"

namespace tessivarium {

// The texel origin (0, 0, 0): both origins of a whole-texture copy, the default snapshot origin.
inline constexpr gpu::Origin ORIGIN0{0, 0, 0};
// The border the drop tools keep around their working region.
inline constexpr double MAC_BORDER = static_cast<double>(MAC_DEPTH) * 2.3;

}  // namespace tessivarium
