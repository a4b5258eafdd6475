#pragma once
// The turpentine's tool-model passes.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "Turpentine_paint"; binding step not built yet.
class TurpentinePaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit TurpentinePaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Turpentine_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "Turpentine_blur_image".
class TurpentineModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit TurpentineModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Turpentine_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
