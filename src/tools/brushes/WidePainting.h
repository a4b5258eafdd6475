#pragma once
// One step of a wide brush's stroke, as one composite on the command buffer: the chain of the
// engine's DAEPainting (the head copied over its second working copy, the reset of the step's map
// gridTexture1, the wide paint pass, the overlay map of the grid and wet pairs, the blur twice,
// one object listed twice, and the mask) without a descriptor record: the flat model has none, and
// the shared mask is made to drop the one another tool's step left on it. The children are the
// registries' shared passes. Main thread only.

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DAEWidePainting final : public CompositeEncoderUnit {
 public:
  // The children for `tool`'s type; the given prepare step is replaced by the step's own. A
  // current tool without a tool model is a fatal stop when the step is encoded.
  explicit DAEWidePainting(const DrawingTool& tool, PrepareStep prepare = noPreparation());
};

}  // namespace tessivarium
