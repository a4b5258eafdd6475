#pragma once
// Loads a colour into the current tool's head: the shared colour-fill pass of the tool's type,
// given the colour and force (which then stay on the shared pass), bound to a descriptor record
// built for the run. Run by a tool's colour fill on a command buffer of its own. Main thread only.

#include "graphics/Color.h"
#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingTool;

class DAEColorFill final : public CompositeEncoderUnit {
 public:
  // A type without a fill pass stops in the registry ("Unsupported yet.").
  DAEColorFill(const DrawingTool& tool, const graphics::Color& color, float force,
               PrepareStep prepare = noPreparation());

  float force() const { return force_; }
  void setForce(float force) { force_ = force; }

  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  float force_;
};

}  // namespace tessivarium
