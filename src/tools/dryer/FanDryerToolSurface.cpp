#include "tools/dryer/FanDryerToolSurface.h"

#include "tools/ToolEncoder.h"

namespace tessivarium {

FanDryerToolSurface::FanDryerToolSurface(AbstractDrawingTool& tool, std::shared_ptr<ToolEncoder> paintPass)
    : ToolSurface(tool) {
  initEncoders().push_back(std::move(paintPass));
}

void FanDryerToolSurface::encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  for (const auto& pass : encoders()) pass->encode(paint, buffer);
}

}  // namespace tessivarium
