#include "tools/dryer/DryerDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DryerDAEEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DryerDAEEncoder.fillCommandBuffer: not built yet");
}

void DryerDAEInitEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DryerDAEInitEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
