#include "EnginePassesFixture.h"

#include "gpu/ComputeCommandEncoder.h"
#include "utils/GpuRecords.h"

namespace enginetest {

void EngineSurface::encodeInput(gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(makeFlagBuffer(true), 0, BUFFER_POSITION_NUMBER);
}

}  // namespace enginetest
