#include "tools/tubes/MacAddSphere.h"

#include "foundation/Fatal.h"

namespace tessivarium {

MacAddSphere::MacAddSphere(PrepareStep prepare) : AbstractToolEncoderShader("mac_add_sphere", std::move(prepare)) {}

void MacAddSphere::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {
  foundation::fatalError("MacAddSphere.fillCommandBuffer: not built yet");
}

}  // namespace tessivarium
