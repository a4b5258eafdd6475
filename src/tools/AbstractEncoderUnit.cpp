#include "tools/AbstractEncoderUnit.h"

#include <cstdint>
#include <vector>

#include "gpu/CommandBuffer.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"

namespace tessivarium {

void AbstractEncoderUnit::encode(AbstractDrawingTool& tool, gpu::CommandBuffer& buffer) {
  const auto encoder = buffer.makeComputeCommandEncoder();
  encoder->setComputePipelineState(shaderPipelineState());
  fillCommandBuffer(tool, *encoder);
  dispatchStoredSizes(*encoder);
  encoder->endEncoding();
}

namespace {

template <class T>
std::shared_ptr<gpu::Buffer> makeListBuffer(const std::vector<T>& values) {
  return AppManager().device()->makeBuffer(values.data(), values.size() * sizeof(T));
}

}  // namespace

void AbstractEncoderUnit::fillCommandBuffer(AbstractDrawingTool& tool, gpu::ComputeCommandEncoder& encoder) {
  const auto& inputs = tool.touchInputs();
  const auto count = static_cast<std::int32_t>(inputs.size());
  encoder.setBuffer(AppManager().device()->makeBuffer(&count, sizeof count), 0, 0);
  encoder.setBuffer(makeListBuffer(TouchLocationsToVector(inputs, XY::x)), 0, 1);
  encoder.setBuffer(makeListBuffer(TouchLocationsToVector(inputs, XY::y)), 0, 2);
  encoder.setBuffer(makeListBuffer(TouchForcesToVector(inputs)), 0, 3);
}

}  // namespace tessivarium
