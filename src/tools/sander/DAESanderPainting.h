#pragma once
// One step of a sander stroke, as one composite on the command buffer: the step's map (the shared
// renderingTexture) reset, the sander's paint pass, its blur once and the mask. There is no
// overlay map and the head's working copies are not copied over each other: the sander changes
// only the working dry texture. Every run builds one fresh descriptor record of the current tool
// and hands it to each tool-model child, as DAEPainting does, so the paint pass and the shared
// mask never bind a record of an earlier step or of another tool. Main thread only.

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DAESanderPainting final : public CompositeEncoderUnit {
 public:
  // The children for `tool`'s type. The given prepare step is replaced by the step's own, which
  // points the shared reset at renderingTexture, offset (0, 0, 0).
  explicit DAESanderPainting(const DrawingTool& tool, PrepareStep prepare = noPreparation());

  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

}  // namespace tessivarium
