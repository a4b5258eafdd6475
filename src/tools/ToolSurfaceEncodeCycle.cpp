// The GPU half of the stroke surface: the window's load and write-back, the step's pass lists and
// picture refresh, and the binders through which the passes find the surface's buffers and the
// working textures.

#include <algorithm>
#include <string>

#include "Application.h"
#include "ErrorMessage.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "imaging/Context.h"
#include "imaging/FilterValue.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureDataToHeight.h"
#include "tools/ToolEncoder.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

namespace {

// The window's extent in `layer`: the window, or the layer where it is smaller.
gpu::Size windowSize(ArtworkTextures& layer) {
  const auto& grid = layer.gridTexture();
  return {std::min<std::size_t>(MAC_WIDTH, grid->width()), std::min<std::size_t>(MAC_WIDTH, grid->height()), 1};
}

ArtworkTextures& currentLayer(DrawingPaint& paint, const char* what) {
  const auto layer = paint.currentContent();
  if (!layer) foundation::fatalError(std::string("ToolSurface.") + what + ": the canvas has no layer");
  return *layer;
}

const gpu::Origin& requiredOrigin(const std::optional<gpu::Origin>& origin, const char* what) {
  if (!origin) foundation::fatalError(std::string("ToolSurface.") + what + ": no window is loaded");
  return *origin;
}

void encodeAll(const ToolEncoders& passes, DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  for (const auto& pass : passes) pass->encode(paint, buffer);
}

}  // namespace

// --- The cycle ------------------------------------------------------------------------------------

void ToolSurface::encodeStart(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  if (!useSameRegion_) foundation::fatalError("ToolSurface.encodeStart: no batch taken yet");
  if (!*useSameRegion_) {
    // The old window goes back into the layer before the new one comes out of it.
    if (origin_) encodeSave(paint, buffer);
    encodeLoads(currentLayer(paint, "encodeStart"), buffer);
  }
  encodeAll(initEncoders_, paint, buffer);
}

gpu::Origin ToolSurface::cornerInLayer(gpu::uint3 corner, ArtworkTextures& layer) {
  const auto& window = AppManager().surfaceTextures().gridTexture0();
  if (!window) foundation::fatalError("ToolSurface: the working textures are missing");
  const auto& grid = layer.gridTexture();
  const auto clamp = [](std::uint32_t at, std::size_t layerSide, std::size_t windowSide) {
    const auto last = static_cast<std::int64_t>(layerSide) - static_cast<std::int64_t>(windowSide);
    return static_cast<std::size_t>(std::max<std::int64_t>(std::min<std::int64_t>(at, last), 0));
  };
  return {clamp(corner.x, grid->width(), window->width()), clamp(corner.y, grid->height(), window->height()), 0};
}

void ToolSurface::encodeLoads(ArtworkTextures& layer, gpu::CommandBuffer& buffer) {
  auto& working = AppManager().surfaceTextures();
  const auto& wet0 = working.wetTexture0();
  const auto& dry0 = working.dryTexture0();
  if (!wet0 || !dry0) foundation::fatalError("ToolSurface: the working textures are missing");
  const gpu::Origin at = cornerInLayer(offset_, layer);
  origin_ = at;
  const gpu::Size size = windowSize(layer);
  const auto blit = buffer.makeBlitCommandEncoder();
  blit->copy(layer.gridTexture(), 0, 0, at, size, working.gridTexture0(), 0, 0, ORIGIN0);
  blit->copy(layer.wetTexture(), 0, 0, at, size, wet0, 0, 0, ORIGIN0);
  blit->copy(layer.dryTexture(), 0, 0, at, size, dry0, 0, 0, ORIGIN0);
  blit->endEncoding();
}

void ToolSurface::encodeSave(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  const gpu::Origin at = requiredOrigin(origin_, "encodeSave");
  ArtworkTextures& layer = currentLayer(paint, "encodeSave");
  const gpu::Size size = windowSize(layer);
  if (paint.supportCommand()) {
    if (const auto& step = tool_->commandOperations()) {
      step->rects().emplace_back(static_cast<double>(at.x), static_cast<double>(at.y),
                                 static_cast<double>(size.width), static_cast<double>(size.height));
    }
  }
  auto& working = AppManager().surfaceTextures();
  const auto blit = buffer.makeBlitCommandEncoder();
  blit->copy(working.gridTexture0(), 0, 0, ORIGIN0, size, layer.gridTexture(), 0, 0, at);
  blit->copy(working.wetTexture0(), 0, 0, ORIGIN0, size, layer.wetTexture(), 0, 0, at);
  blit->copy(working.dryTexture0(), 0, 0, ORIGIN0, size, layer.dryTexture(), 0, 0, at);
  blit->endEncoding();
}

void ToolSurface::encodeEnd(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  // A window written back mid-stroke is loaded again, which needs the working textures; a loaded
  // one shows that they are there.
  if (lastTouchInput_ && holdsTrail_ && (origin_ || AppManager().surfaceTextures().makeAll())) {
    takeClosingStep(paint);
    encodeStart(paint, buffer);
    encodeLoop(paint, buffer);
  }
  if (origin_) encodeSave(paint, buffer);
}

void ToolSurface::saveWindow() {
  if (!origin_) return;
  DrawingPaint& paint = AppManager().requiredCurrentPaint("ToolSurface.saveWindow");
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  encodeSave(paint, *buffer);
  buffer->commit();
  origin_.reset();
}

void ToolSurface::encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  encodeAll(encoders_, paint, buffer);
  refreshPicture(paint, buffer);
}

void ToolSurface::refreshPicture(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  auto& working = AppManager().surfaceTextures();
  if (DEBUG_HEIGHT) {
    const auto& picture = currentLayer(paint, "encodeLoop").paintingTexture();
    EncodersProvider().getTextureDataToHeightImage(picture, working.renderingColorTexture(), true)->encode(paint, buffer);
    return;
  }
  if (TOTAL_HEIGHT) {
    if (origin_) refreshTotalHeight(paint, buffer);
    return;
  }
  // Without the rendering texture only the picture of this step is lost; the paint is not.
  if (widthOf(working.renderingTexture()) == 0) {
    Application().hanldeError(ErrorMessage::NoMoreHeap);
    return;
  }
  const gpu::Origin at = requiredOrigin(origin_, "encodeLoop");
  CoreImageUtil::render(paint, currentLayer(paint, "encodeLoop").paintingTexture(), buffer.shared_from_this(),
                        static_cast<double>(at.x), static_cast<double>(at.y));
}

// The whole layer's height picture, shaded, then the window's rendering on top of it.
void ToolSurface::refreshTotalHeight(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  auto& manager = AppManager();
  ArtworkTextures& layer = currentLayer(paint, "encodeLoop");
  if (!paint.shadingImage()) foundation::fatalError("ToolSurface.encodeLoop: the canvas has no shading image");
  const auto& picture = layer.paintingTexture();
  const auto height = manager.makeTexture(*layer.textureGlobalDescriptor());
  if (!height) return;  // its creation has reported NoMoreHeap
  EncodersProvider()
      .getTextureDataToHeightImage(height, manager.surfaceTextures().renderingColorTexture(), true)
      ->encode(paint, buffer);
  const auto shaded = imaging::Image::fromTexture(height)->applyingFilter(
      "CIShadedMaterial", {{std::string(imaging::kInputShadingImageKey), paint.shadingImage()}});
  const auto self = buffer.shared_from_this();
  paint.ciContext()->render(shaded, picture, self,
                            graphics::Rect(0, 0, static_cast<double>(height->width()), static_cast<double>(height->height())),
                            graphics::ColorSpace::DeviceRGB);
  const auto blit = buffer.makeBlitCommandEncoder();
  blit->copy(manager.surfaceTextures().renderingTexture(), 0, 0, ORIGIN0, SIZE_2D, picture, 0, 0, *origin_);
  blit->endEncoding();
  // The command buffer holds the texture until its work is done; only its count is given back here,
  // so that a stroke does not count one full-size texture per step against the memory limit.
  manager.releaseTexture(*height);
}

std::shared_ptr<ToolModel> ToolSurface::getModel() {
  const auto* viewer = dynamic_cast<const DefaultToolViewer*>(tool_->toolViewer().get());
  return viewer ? viewer->toolModel() : nullptr;
}

// --- Binders --------------------------------------------------------------------------------------

void ToolSurface::encodeDt(gpu::ComputeCommandEncoder& encoder) { encoder.setBuffer(dtBuffer_, 0, BUFFER_DT); }

void ToolSurface::encodeLocation(gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(countBuffer_, 0, BUFFER_POSITION_NUMBER);
  encoder.setBuffer(locationBuffer_, 0, BUFFER_POSITION);
}

void ToolSurface::encodeScale(gpu::ComputeCommandEncoder& encoder, float scale) {
  encoder.setBuffer(makeFloatBuffer(std::span<const float>(&scale, 1)), 0, BUFFER_SCALE);
}

void ToolSurface::encodeInput(gpu::ComputeCommandEncoder& encoder) {
  encodeLocation(encoder);
  encoder.setBuffer(forceBuffer_, 0, BUFFER_FORCE);
  encoder.setBuffer(altitudeBuffer_, 0, BUFFER_ALTITUDE);
  encoder.setBuffer(azimuthsBuffer_, 0, BUFFER_AZIMUTH);
}

void ToolSurface::encodeOffset(gpu::ComputeCommandEncoder& encoder, gpu::uint3 offset) {
  encoder.setBuffer(makeOffsetBuffer(offset), 0, BUFFER_OFFSET);
}

void ToolSurface::encodeOffset(gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(offsetBuffer_, 0, BUFFER_OFFSET);
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

void ToolSurface::encodeValues(gpu::ComputeCommandEncoder& encoder, std::span<const float> values) {
  encoder.setBuffer(makeFloatBuffer(values), 0, BUFFER_VALUE);
}

void ToolSurface::encodePathStart(gpu::ComputeCommandEncoder& encoder, Trail trail) {
  if (trail == Trail::held) holdsTrail_ = true;
  if (pathStartBuffer_) encoder.setBuffer(pathStartBuffer_, 0, BUFFER_VALUE);
}

}  // namespace tessivarium
