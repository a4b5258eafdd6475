#pragma once
// One step of a thick-paint stroke, as one composite on the command buffer: the head's pattern
// copied over its second working copy, the step's map (gridTexture1) reset, the tool's paint
// pass, the overlay map (of the grid, wet and dry pairs, the dry for paint laid dry), the blur
// twice (one object listed twice) and the mask. The tool-model
// passes of a run all bind one descriptor record, built once per run. The children are the
// registries' shared passes. Main thread only.

#include <memory>

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DAEToolModelOverlayMap;
class DrawingTool;

class DAEPainting final : public CompositeEncoderUnit {
 public:
  // The children for `tool`'s type (a type without a paint pass stops in the registry). The given
  // prepare step is replaced by the step's own.
  explicit DAEPainting(const DrawingTool& tool, PrepareStep prepare = noPreparation());

  // A current tool without a tool model is a fatal stop.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

// What the preparation of every head tool's stroke step shares: the current tool's head copied over
// its second working copy (no tool model is a fatal stop naming `who`), the shared 2-D reset
// pointed at gridTexture1 with offset (0, 0, 0), and the shared overlay map's grid and wet pairs at
// the working textures (grid1 and wet1 into grid0 and wet0); the overlay map is returned.
DAEToolModelOverlayMap& prepareHeadStep(DrawingPaint& paint, gpu::CommandBuffer& buffer, const char* who);

// Builds the current tool's descriptor record once and stores one new buffer of it on every
// child of `composite` that is a tool-model pass; with a plain tool model, or none, nothing.
void handDescriptorToChildren(CompositeEncoderUnit& composite, DrawingPaint& paint);

}  // namespace tessivarium
