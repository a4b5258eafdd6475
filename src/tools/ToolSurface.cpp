#include "tools/ToolSurface.h"

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

ToolSurface::ToolSurface(AbstractDrawingTool& tool) : tool_(&tool) { setOffset({0, 0, 0}); }

ToolSurface::~ToolSurface() = default;

void ToolSurface::setOffset(gpu::uint3 offset) {
  offset_ = offset;
  offsetBuffer_ = makeOffsetBuffer(offset);
}

void ToolSurface::encodeOffset(gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(offsetBuffer_, 0, BUFFER_OFFSET);
}

void ToolSurface::encodeOffset(gpu::ComputeCommandEncoder& encoder, gpu::uint3 offset) {
  encoder.setBuffer(makeOffsetBuffer(offset), 0, BUFFER_OFFSET);
}

void ToolSurface::encodeValues(gpu::ComputeCommandEncoder& encoder, std::span<const float> values) {
  encoder.setBuffer(makeFloatBuffer(values), 0, BUFFER_VALUE);
}

void ToolSurface::encodeTextures(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& working = AppManager().surfaceTextures();
  encoder.setTexture(paint.groundTexture(), TEXTURE_GROUND);
  encoder.setTexture(working.gridTexture0(), TEXTURE_GRID_READ);
  encoder.setTexture(working.gridTexture1(), TEXTURE_GRID_WRITE);
  encoder.setTexture(working.wetTexture0(), TEXTURE_WET_READ);
  encoder.setTexture(working.wetTexture1(), TEXTURE_WET_WRITE);
  encoder.setTexture(working.dryTexture0(), TEXTURE_DRY_READ);
  encoder.setTexture(working.dryTexture1(), TEXTURE_DRY_WRITE);
}

void ToolSurface::loads() { foundation::fatalError("ToolSurface.loads: not built yet"); }

void ToolSurface::updateChange() { foundation::fatalError("ToolSurface.updateChange: not built yet"); }

void ToolSurface::touchEnd() { foundation::fatalError("ToolSurface.touchEnd: not built yet"); }

void ToolSurface::encodeSave(DrawingPaint&, gpu::CommandBuffer&) {
  foundation::fatalError("ToolSurface.encodeSave: not built yet");
}

void ToolSurface::reset(const TouchInputs&) { foundation::fatalError("ToolSurface.reset: not built yet"); }

std::shared_ptr<ToolModel> ToolSurface::getModel() { foundation::fatalError("ToolSurface.getModel: not built yet"); }

void ToolSurface::encodeLoads(ArtworkTextures&, gpu::CommandBuffer&) {
  foundation::fatalError("ToolSurface.encodeLoads: not built yet");
}

}  // namespace tessivarium
