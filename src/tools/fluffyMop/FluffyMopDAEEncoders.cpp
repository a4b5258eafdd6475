#include "tools/fluffyMop/FluffyMopDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void FluffyMopPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("FluffyMopPaintingEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
