#pragma once
// The sprayer's paint pass on the kernel "DAESprayer_paint": the drop bindings (no drawing mode:
// sprayed paint is always wet), and, since the sprayer sprays along its path by the distance
// travelled, the window's offset at BUFFER_OFFSET (the droplets are seeded by their place on the
// layer) and, on a step that carries the stroke's path on from the step before, the sample it starts
// from at BUFFER_VALUE (ToolSurface::encodePathStart). The pass registry makes the one object and
// builds its pipeline at start-up. Main thread only.

#include "tools/DropToolEncoder.h"

namespace tessivarium {

class SprayerEncoder final : public DropToolEncoder {
 public:
  explicit SprayerEncoder(PrepareStep prepare = noPreparation()) : DropToolEncoder("DAESprayer_paint", std::move(prepare)) {}

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
