#pragma once
// The stroke surface of the dryer and the wetter (DryerToolSurface, WetterToolSurface): the base's
// sample upload and window cycle, with the tool's paint pass as the one pass of every step. The
// paint pass writes the layer's picture itself, so no step renders the window into it. Main thread
// only.

#include <memory>

#include "tools/ToolSurface.h"

namespace tessivarium {

class FanDryerToolSurface : public ToolSurface {
 public:
  // Step one of the construction, with `paintPass` as the one entry of initEncoders; use
  // ToolSurface::make<FanDryerToolSurface>(tool, {}, paintPass).
  FanDryerToolSurface(AbstractDrawingTool& tool, std::shared_ptr<ToolEncoder> paintPass);

  // Runs encoders (none) and nothing else.
  void encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;
};

}  // namespace tessivarium
