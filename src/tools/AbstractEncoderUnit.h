#pragma once
// A kernel pass encoded for a tool rather than a canvas: no prepare step, no enabled test; its fill
// binds the tool's pending samples at the literal buffer indices 0 to 3 (count, x, y, forces) and
// sizes nothing. Nothing in the system makes one.
//
// Its kernels read the samples as: index 0, the count as one signed 32-bit integer; indices 1 and 2,
// the x and the y locations truncated to signed 32-bit integers; index 3, the forces as 32-bit
// floats. Without samples the three lists are bound as no buffer.

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

  // Binds new buffers of the tool's pending samples (made on AppManager's device at every call).
  virtual void fillCommandBuffer(AbstractDrawingTool& tool, gpu::ComputeCommandEncoder& encoder);
};

}  // namespace tessivarium
