#include "tools/AbstractEncoderUnit.h"

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/ComputeCommandEncoder.h"

namespace tessivarium {

void AbstractEncoderUnit::encode(AbstractDrawingTool& tool, gpu::CommandBuffer& buffer) {
  const auto encoder = buffer.makeComputeCommandEncoder();
  encoder->setComputePipelineState(shaderPipelineState());
  fillCommandBuffer(tool, *encoder);
  dispatchStoredSizes(*encoder);
  encoder->endEncoding();
}

void AbstractEncoderUnit::fillCommandBuffer(AbstractDrawingTool&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("AbstractEncoderUnit.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
