#include "tools/brushes/BrushDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void FanBrushInitializer::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("FanBrushInitializer.fillCommandBuffer: not built yet");
}

void FlatBrushInitializer::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("FlatBrushInitializer.fillCommandBuffer: not built yet");
}

void FilbertBrushInitializer::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("FilbertBrushInitializer.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
