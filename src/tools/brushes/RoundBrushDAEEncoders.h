#pragma once
// The round brush's paint pass, which paints without a tool model.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// "DAEToolModel_brush_bristle_paint"; binding step not built yet.
class DAERoundBrushPaintingEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DAERoundBrushPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_brush_bristle_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
