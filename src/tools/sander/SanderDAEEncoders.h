#pragma once
// The sander's tool-model passes.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "Sander_paint"; binding step not built yet.
class DAESanderPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAESanderPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Sander_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "Sander_blur_image"; binding step not built yet.
class SanderModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit SanderModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Sander_blur_image", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
