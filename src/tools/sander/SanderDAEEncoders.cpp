#include "tools/sander/SanderDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DAESanderPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAESanderPaintingEncoder.fillCommandBuffer: not built yet");
}

void SanderModelBlur::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("SanderModelBlur.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
