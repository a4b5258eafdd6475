#pragma once
// One step of a round brush stroke, as one composite on the frame's command buffer: the step's map
// (gridTexture1) reset, the round brush's paint pass, the overlay map (of the grid, wet and dry
// pairs), the blur once and the mask.
// The brush has no tool model, so nothing of a head is copied and no descriptor record is built.
// Every child is a registry's shared pass; the prepare step points the reset and the overlay map at
// the working textures again at every step, whatever another tool set them to, and clears the
// record another tool's step left on the shared mask. Main thread only.

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DAERoundPainting final : public CompositeEncoderUnit {
 public:
  // The children for `tool`'s type. The given prepare step is replaced by the step's own.
  explicit DAERoundPainting(const DrawingTool& tool, PrepareStep prepare = noPreparation());
};

}  // namespace tessivarium
