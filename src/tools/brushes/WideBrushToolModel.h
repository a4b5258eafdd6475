#pragma once
// The wide brushes' flat tool model: a head of W x 12 x 3 cells (W the measured width, a multiple
// of 8) with no measured geometry, so the passes on it get no descriptor record. Each column of its
// head is a small well of paint, which the kernels count in a ledger of their own (kernels/README.md,
// "The wide brushes"). Cleaning it clears its current pattern alone. Main thread only.

#include <cstdint>

#include "tools/ToolModel.h"

namespace tessivarium {

class DAE2DToolModel final : public ToolModel {
 public:
  using ToolModel::ToolModel;

 protected:
  // Only the reset of colorTexture0: colorTexture1 keeps its contents and no initialiser runs.
  void encodeClean(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

}  // namespace tessivarium
