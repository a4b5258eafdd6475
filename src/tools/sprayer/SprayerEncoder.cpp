#include "tools/sprayer/SprayerEncoder.h"

#include "foundation/Fatal.h"

namespace tessivarium {

SprayerEncoder::SprayerEncoder(PrepareStep prepare)
    : AbstractToolEncoderShader("DAESprayer_paint", std::move(prepare)) {}

void SprayerEncoder::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("SprayerEncoder.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
