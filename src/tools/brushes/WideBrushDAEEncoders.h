#pragma once
// The wide brushes' passes, shared by the four sizes. The fill and the pickup only name their
// kernels and keep their bases' bindings: under the wide brushes' flat model (DAE2DToolModel) they
// get no descriptor record. The paint pass is a plain compute pass that binds the stroke's inputs
// and the head itself and sends neither a pencil state nor a descriptor. Main thread only.

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

// "DAEToolModel_wide_brush_paint".
class DAEWideBrushPaintingEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DAEWideBrushPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_wide_brush_paint", std::move(prepare)) {}
  // The current tool's surface binds the working textures, the samples, the window's offset and
  // the sample the step's path comes on from (and the canvas's mask, when it has one); the head's colorTexture0 goes to TEXTURE_TOOL_READ
  // and colorTexture1 to TEXTURE_TOOL_WRITE; the grid is 2-D over gridTexture0; then the head's
  // two copies are exchanged. A current tool without a tool model is a fatal stop.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
