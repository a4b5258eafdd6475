#pragma once
// The wide brushes' tool-model passes: their fill and pickup only name their kernels; the paint
// pass brings a binding step of its own.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/DAEToolModelPasses.h"

namespace tessivarium {

// "DAEToolModel_wide_brush_fill".
class WideBrushDAEColorFillEncoder final : public AbstractDAEColorFillEncoder {
 public:
  explicit WideBrushDAEColorFillEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEColorFillEncoder("DAEToolModel_wide_brush_fill", std::move(prepare)) {}
};

// "DAEToolModel_wide_brush_pickup".
class DAEWideBrushPickupEncoder final : public AbstractDAEPickupEncoder {
 public:
  explicit DAEWideBrushPickupEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPickupEncoder("DAEToolModel_wide_brush_pickup", std::move(prepare)) {}
};

// "DAEToolModel_wide_brush_paint"; binding step not built yet.
class DAEWideBrushPaintingEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DAEWideBrushPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_wide_brush_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
