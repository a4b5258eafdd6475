#include "tools/brushes/WideBrushDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DAEWideBrushPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAEWideBrushPaintingEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
