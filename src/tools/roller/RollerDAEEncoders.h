#pragma once
// The roller's tool-model pass.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEPaintingEncoder.h"

namespace tessivarium {

// "Roller_paint"; binding step not built yet.
class DAERollerPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAERollerPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Roller_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
