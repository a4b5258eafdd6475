#include "tools/turpentine/TurpentineDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void TurpentinePaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("TurpentinePaintingEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
