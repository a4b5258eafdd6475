#pragma once
// One step of a thick-paint stroke, as one composite on the command buffer: the head's pattern
// copied over its second working copy, the step's map (gridTexture1) reset, the tool's paint
// pass, the overlay map (of the grid, wet and dry pairs, the dry for paint laid dry), the blur
// twice (one object listed twice) and the mask. The tool-model
// passes of a run all bind one descriptor record, built once per run. The children are the
// registries' shared passes. Main thread only.

#include <memory>
#include <vector>

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DAEPainting final : public CompositeEncoderUnit {
 public:
  // The children for `tool`'s type (a type without a paint pass stops in the registry). The given
  // prepare step is replaced by the step's own.
  explicit DAEPainting(const DrawingTool& tool, PrepareStep prepare = noPreparation());

  // A current tool without a tool model is a fatal stop.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

// The children of a head tool's stroke step, the registries' shared passes for `tool`'s type: the
// 2-D reset (pointed at gridTexture1), the paint pass, the overlay map, the blur twice (one object)
// and the mask.
std::vector<std::shared_ptr<ToolEncoder>> headStepPasses(const DrawingTool& tool);

// Whether a step's overlay map also carries dry1 onto dry0: it does for the paint passes that lay
// paint dry through dry1 (only for the cells they laid it on); the drop kernels lay theirs straight
// into dry0 and give the overlay no dry pair.
enum class StepDryPair { Carried, None };

// Points the shared passes of a stroke step at the working textures, as every stroke composite's
// prepare step must before its children run (another tool's step may have re-pointed them): the
// 2-D reset at gridTexture1 from (0, 0, 0), the overlay map from grid1 and wet1 onto grid0 and wet0,
// and from dry1 onto dry0 when the dry pair is carried.
void pointStepPassesAtWorkingTextures(StepDryPair dryPair = StepDryPair::Carried);

// The current tool's head copied over its second working copy on a blit of `buffer`, so that a
// paint pass that writes only the head cells it changes leaves the rest as they were; no tool model
// is a fatal stop naming `who`.
void copyHeadForStep(DrawingPaint& paint, gpu::CommandBuffer& buffer, const char* who);

// Builds the current tool's descriptor record once and stores one new buffer of it on every
// child of `composite` that is a tool-model pass; with a plain tool model, or none, nothing.
void handDescriptorToChildren(CompositeEncoderUnit& composite, DrawingPaint& paint);

}  // namespace tessivarium
