#include "tools/towels/TowelDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DAETowelPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAETowelPaintingEncoder.fillCommandBuffer: not built yet");
}

void DAETowelMapPaint::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAETowelMapPaint.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
