#pragma once
// The stroke surface of the six knives: the tool-model surface, whose samples reach the kernels
// with the stylus lowered by the knife watermark. A knife is held flatter than a brush, so the
// kernels read 30° less altitude than the stylus reports, never below lying flat. Main thread only.

#include <numbers>

#include "tools/DAEToolSurface.h"

namespace tessivarium {

// How far a knife's altitude is lowered before the kernels see it: π/2 / 3 (30°).
inline constexpr float KnifeAltitude_WaterMark = static_cast<float>(std::numbers::pi / 2 / 3);
// What the lowered altitude is multiplied by.
inline constexpr float KnifeAltitude_WaterMark_Ratio = 1.0f;

class KnifeToolSurface : public DAEToolSurface {
 public:
  using DAEToolSurface::DAEToolSurface;

  // Each uploaded altitude a becomes max((a - watermark) x ratio, 0); the other arrays stay.
  void adjustInput() override;
};

}  // namespace tessivarium
