#pragma once
// The brushes' shared settings: the stylus altitude under which a brush lies flat on the canvas
// (its surfaces lower every uploaded altitude by it), and the viewer scales of the small, normal
// and extra sizes, which size a brush's head on the canvas.

#include <numbers>

namespace tessivarium {

// π/6 radians (30 degrees), worked out in double precision and kept as a float: 0.5235988.
inline constexpr float BrushAltitude_WaterMark = static_cast<float>(std::numbers::pi / 2 / 3);
inline constexpr float BrushAltitude_WaterMark_Ratio = 1.0f;

// Viewer scales; a viewer takes them as the nearest float.
inline constexpr double SmallScale = 0.3;
inline constexpr double NormalScale = 0.6;
inline constexpr double ExtraScale = 3.0;

}  // namespace tessivarium
