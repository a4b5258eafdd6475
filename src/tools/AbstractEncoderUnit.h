#pragma once
// A kernel pass encoded for a tool rather than a canvas: no prepare step, no enabled test; its fill
// binds the tool's pending samples at the literal buffer indices 0 to 3 (count, x, y, forces) and
// sizes nothing. Nothing in the system makes one.

#include <string>

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class AbstractDrawingTool;

class AbstractEncoderUnit : public AbstractShaderUnit {
 public:
  explicit AbstractEncoderUnit(std::string shaderName) : AbstractShaderUnit(std::move(shaderName)) {}

  // Opens a compute encoder, sets the pipeline, fills, dispatches with the stored sizes (a pass
  // never sized is a fatal stop) and ends the encoder.
  void encode(AbstractDrawingTool& tool, gpu::CommandBuffer& buffer);

  // The tool's samples arrive with the tool framework; until then this stops with "not built yet".
  virtual void fillCommandBuffer(AbstractDrawingTool& tool, gpu::ComputeCommandEncoder& encoder);
};

}  // namespace tessivarium
