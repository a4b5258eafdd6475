#pragma once
// The fluffy mop's tool-model passes.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "FluffyMop_paint"; binding step not built yet.
class FluffyMopPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit FluffyMopPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("FluffyMop_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "FluffyMop_blur_image".
class FluffyMopModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit FluffyMopModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("FluffyMop_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
