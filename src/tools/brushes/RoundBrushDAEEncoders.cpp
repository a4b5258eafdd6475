#include "tools/brushes/RoundBrushDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DAERoundBrushPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAERoundBrushPaintingEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
