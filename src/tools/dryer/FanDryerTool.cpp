#include "tools/dryer/FanDryerTool.h"

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/dryer/FanDryerCanvas.h"
#include "tools/dryer/FanDryerToolSurface.h"
#include "tools/dryer/FanDryerToolViewer.h"
#include "ui/GPUView.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

// The fan's scene, shared by both twins.
constexpr const char* kFanScene = "FanDryer";

// A blit of the common extent of two textures on `buffer`.
void encodeCopy(gpu::CommandBuffer& buffer, const std::shared_ptr<gpu::Texture>& from,
                const std::shared_ptr<gpu::Texture>& to) {
  const auto blit = buffer.makeBlitCommandEncoder();
  copyTexture(*blit, from, to);
  blit->endEncoding();
}

}  // namespace

FanDryerTool::FanDryerTool(const FanDryerTwin& twin) : AbstractDrawingTool(twin.type), twin_(&twin) {
  setCanClean(false);
  setCanReset(false);
  setCanFillColor(false);
  setCanSavePattern(false);
  setHasColorPattern(false);
}

std::vector<std::shared_ptr<ToolEncoder>> FanDryerTool::getInitializers() { return {twin_->initPass()}; }

void FanDryerTool::handleEnabled(bool force) {
  if (handledEnabled() && !force) return;
  AbstractDrawingTool::handleEnabled(force);
  DrawingPaint& canvas = fanDryerCanvas("FanDryerTool.handleEnabled");
  // The views below the current layer: the layers run from the bottom of the stack up.
  for (const auto& layer : canvas.layers()) {
    if (layer->index() == canvas.layerIndex()) break;
    layer->metalView()->setHidden(true);
  }
  const auto layer = canvas.currentContent();
  const auto& copy = canvas.colorTexture2D();
  if (layer && widthOf(copy) > 0) {
    const foundation::Date start = foundation::Date::now();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    encodeCopy(*buffer, layer->paintingTexture(), copy);
    DrawingPaint& paint = AppManager().requiredCurrentPaint("FanDryerTool.handleEnabled");
    for (const auto& pass : getInitializers()) pass->encode(paint, *buffer);
    if (DEBUG_DAE_KNIFE != KnifeDebugMode::None) {
      buffer->addCompletedHandler([start](gpu::CommandBuffer&) {
        foundation::consoleLine("Execution time: " +
                                foundation::describe(foundation::Date::now().timeIntervalSince(start)));
      });
    }
    buffer->commit();
  }
  canvas.redraw(DrawingMode::Refresh);
}

void FanDryerTool::handleDisabled() {
  if (!handledEnabled()) return;
  AbstractDrawingTool::handleDisabled();
  DrawingPaint& canvas = fanDryerCanvas("FanDryerTool.handleDisabled");
  const auto layer = canvas.currentContent();
  const auto& copy = canvas.colorTexture2D();
  if (layer && widthOf(copy) > 0) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    encodeCopy(*buffer, copy, layer->paintingTexture());
    buffer->commit();
  }
  canvas.updateLayers();
  canvas.redraw(DrawingMode::Recreated);
}

std::shared_ptr<ToolViewer> FanDryerTool::createToolViewer() {
  return std::make_shared<FanDryerToolViewer>(*this, kFanScene, 1.0f);
}

std::shared_ptr<ToolSurface> FanDryerTool::createToolSurface() {
  return ToolSurface::make<FanDryerToolSurface>(*this, {}, twin_->paintPass());
}

void FanDryerTool::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  AbstractDrawingTool::encode(paint, buffer);
  encodeSurfaceSteps(paint, buffer);
}

}  // namespace tessivarium
