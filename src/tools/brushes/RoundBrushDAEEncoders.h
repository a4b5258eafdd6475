#pragma once
// The round brush's paint pass, which paints from the stroke's samples and the working textures
// alone: the brush has no tool model, so nothing of a head (no descriptor record, no head textures,
// no pencil state) is bound. The registry (DAEEncoders) makes the one pass and every caller shares
// it. Main thread only.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// "DAEToolModel_brush_bristle_paint", 2-D over gridTexture0.
class DAERoundBrushPaintingEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DAERoundBrushPaintingEncoder(PrepareStep prepare = noPreparation())
      : AbstractToolEncoderShader("DAEToolModel_brush_bristle_paint", std::move(prepare)) {}

  // The current tool's surface binds the working textures (with the ground), the samples, the
  // sample the step carries the path on from (after a stroke's first step) and the window's
  // offset; the canvas's mask follows when it has one.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
