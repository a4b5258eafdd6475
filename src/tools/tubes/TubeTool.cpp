#include "tools/tubes/TubeTool.h"

#include <cstdint>
#include <vector>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/EncodersProvider.h"
#include "tools/tubes/MacAddSphere.h"
#include "tools/tubes/TubeSurface.h"
#include "tools/tubes/TubeToolViewer.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"
#include "utils/MetalUtil.h"

namespace tessivarium {

TubeTool::TubeTool() : AbstractDropTool(ToolType::tube) {
  setCanWetDrawing(true);
  setWetDrawing(false);
}

std::shared_ptr<ToolViewer> TubeTool::createToolViewer() { return std::make_shared<TubeToolViewer>(*this, 1.0f); }

std::shared_ptr<ToolSurface> TubeTool::createToolSurface() {
  return DropSurface::make<TubeSurface>(*this, touchInputs(), color());
}

void TubeTool::encodeDrawing(gpu::CommandBuffer& buffer) {
  auto& manager = AppManager();
  const auto& canvas = manager.canvas();
  if (!canvas) foundation::fatalError("TubeTool.encodeDrawing: there is no main canvas");
  const auto layer = canvas->currentContent();
  if (!layer) foundation::fatalError("TubeTool.encodeDrawing: the main canvas has no layer");
  const double scale = canvas->artwork()->scale();
  const TouchInputs& samples = touchInputs();
  std::vector<float> positions, forces, altitudes, azimuths;
  positions.reserve(3 * samples.size());
  for (const auto& sample : samples) {
    positions.insert(positions.end(), {static_cast<float>(sample->location().x * scale),
                                       static_cast<float>(sample->location().y * scale), 5.0f});
    forces.push_back(sample->force() * static_cast<float>(MAC_BORDER));
    altitudes.push_back(sample->altitudeAngle());
    azimuths.push_back(sample->azimuthAngle());
  }
  const auto count = static_cast<std::int64_t>(samples.size());

  const auto& sphere = EncodersProvider().getAddSphere();
  const auto encoder = buffer.makeComputeCommandEncoder();
  encoder->setComputePipelineState(sphere->shaderPipelineState());
  encoder->setBuffer(makeBuffer(color()), 0, BUFFER_COLOR);
  encoder->setBuffer(makeFloatBuffer(forces), 0, BUFFER_FORCE);
  encoder->setBuffer(makeFloatBuffer(altitudes), 0, BUFFER_ALTITUDE);
  encoder->setBuffer(makeFloatBuffer(azimuths), 0, BUFFER_AZIMUTH);
  encoder->setBuffer(manager.device()->makeBuffer(&count, sizeof count), 0, BUFFER_POSITION_NUMBER);
  encoder->setBuffer(makeFloatBuffer(positions), 0, BUFFER_POSITION);
  encoder->setTexture(layer->gridTexture(), TEXTURE_GRID_READ);
  encoder->setTexture(layer->gridTexture(), TEXTURE_GRID_WRITE);
  encoder->setTexture(layer->wetTexture(), TEXTURE_WET_READ);
  encoder->setTexture(layer->wetTexture(), TEXTURE_WET_WRITE);
  // The grid is the whole layer, so its cells are the mask's own: no offset.
  if (canvas->maskTexture()) encoder->setTexture(canvas->maskTexture(), TEXTURE_MASK_IMAGE);
  sphere->encodeThreadGroup2D(*layer->gridTexture(), *encoder);
  encoder->endEncoding();
}

}  // namespace tessivarium
