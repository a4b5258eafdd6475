#include "tools/wetter/WetterDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void WetterDAEEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("WetterDAEEncoder.fillCommandBuffer: not built yet");
}

void WetterDAEDryInitEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("WetterDAEDryInitEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
