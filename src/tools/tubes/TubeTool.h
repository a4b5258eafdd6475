#pragma once
// The paint tube: it squeezes thick paint of its colour onto the current layer along the stroke,
// laid dry on the main canvas unless wet drawing is switched on (wet on a palette always). Its
// samples are taken as they come, without spacing, and the paint runs along the path from one to
// the next, so a stroke stays one line however sparse its samples. The host may also encode the
// pending samples straight into the main canvas's current layer (encodeDrawing).
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Main thread only.

#include <memory>

#include "tools/AbstractDropTool.h"

namespace tessivarium {

class TubeTool final : public AbstractDropTool {
 public:
  TubeTool();

  std::shared_ptr<ToolViewer> createToolViewer() override;
  // A TubeSurface of the pending samples and the tool's colour.
  std::shared_ptr<ToolSurface> createToolSurface() override;

  // One "mac_add_sphere" dispatch of the pending samples over the grid and wet textures of the main
  // canvas's current layer, in the layer's cells (forces scaled by MAC_BORDER), kept off the canvas's
  // mask, without a working window and without the step's other passes; nothing is committed and
  // the samples stay pending. No main canvas, or one without a layer, is a fatal stop.
  void encodeDrawing(gpu::CommandBuffer& buffer);
};

}  // namespace tessivarium
