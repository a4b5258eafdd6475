#include "tools/roller/RollerDAEEncoders.h"

#include "foundation/Fatal.h"

namespace tessivarium {

void DAERollerPaintingEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("DAERollerPaintingEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
