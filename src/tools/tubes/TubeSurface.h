#pragma once
// The paint tube's stroke surface: its only pass is the step composite, TubePainting. Build it with
// DropSurface::make<TubeSurface>(tool, samples, colour). Main thread only.
//
// The tube lays its paint along the path from sample to sample, and the path runs on from one step
// to the next: every step that follows another in the stroke also gives its kernel the sample the
// step before painted last (pathStartBuffer), so that the segment between the two is laid too.

#include <memory>

#include "tools/DropSurface.h"

namespace tessivarium {

class TubeSurface final : public DropSurface {
 public:
  // Step one of the construction: the surface with its composite.
  explicit TubeSurface(AbstractDrawingTool& tool);

  // Takes the batch as the tool framework does, then keeps the sample the step's path starts from.
  void doReset(const TouchInputs& touchInputs) override;

  // The last sample the step before uploaded, in this step's window (x, y) with its force: three
  // floats. None for a stroke's first step and for a step that takes no sample.
  const std::shared_ptr<gpu::Buffer>& pathStartBuffer() const { return pathStartBuffer_; }

 private:
  std::shared_ptr<gpu::Buffer> pathStartBuffer_;
};

}  // namespace tessivarium
