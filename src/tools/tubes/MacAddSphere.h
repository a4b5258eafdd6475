#pragma once
// The paint tube's paint pass on the kernel "mac_add_sphere": the drop bindings, the drawing mode, a
// 4-byte Int32 at BUFFER_DRAWING_MODE (1 lays the paint dry, 0 wet), and, on a step that carries the
// stroke's path on from the step before, the sample it starts from at BUFFER_VALUE
// (ToolSurface::encodePathStart).
// The pass registry makes the one object and builds its pipeline at start-up. Main thread only.

#include <cstdint>

#include "tools/DropToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class MacAddSphere final : public DropToolEncoder {
 public:
  explicit MacAddSphere(PrepareStep prepare = noPreparation());

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

  // Wet (0) on a palette and for a tool drawing wet (when it can), dry (1) otherwise.
  static std::int32_t drawingMode(const DrawingPaint& paint, const DrawingTool& tool);
};

}  // namespace tessivarium
