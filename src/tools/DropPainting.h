#pragma once
// One step of a drop tool's stroke, as one composite on the frame's command buffer: an empty blit
// pass, then the step's map (gridTexture1) reset, the tool's paint pass, the tool-model blur, the
// overlay map and the mask. Every child is a registry's shared pass; the prepare step points the
// reset and the overlay map at the working textures again at every step, whatever another tool
// set them to, and clears the record another tool's step left on the shared mask. The tube and the
// sprayer each name their paint pass. Main thread only.

#include <memory>

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DropPainting : public CompositeEncoderUnit {
 protected:
  // The composite of `tool`'s type around `paintPass`, on the application's working textures.
  DropPainting(const DrawingTool& tool, std::shared_ptr<ToolEncoder> paintPass);

 private:
  static PrepareStep prepareStep();
};

}  // namespace tessivarium
