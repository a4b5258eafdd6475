#pragma once
// The application manager's canvas, palettes and tool registry.

#include <cstdint>

namespace tessivarium {

// The paint identifier of the main canvas; palettes get identifiers above it.
inline constexpr std::uint64_t MainPaintId = 0;

}  // namespace tessivarium
