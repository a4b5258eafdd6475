#pragma once
// The towel's tool-model passes.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "DAEToolModel_towel_paint"; binding step not built yet.
class DAETowelPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAETowelPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_towel_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_towel_map_paint"; binding step not built yet.
class DAETowelMapPaint final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAETowelMapPaint(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_towel_map_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "Towel_blur_image".
class TowelModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit TowelModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Towel_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
