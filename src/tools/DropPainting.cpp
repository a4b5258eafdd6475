#include "tools/DropPainting.h"

#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"

namespace tessivarium {

PrepareStep DropPainting::prepareStep(SurfaceWorkingTextures& working) {
  return [&working](DrawingPaint&, gpu::CommandBuffer& buffer) {
    buffer.makeBlitCommandEncoder()->endEncoding();
    const auto& reset = EncodersProvider().getTextureReset2D();
    reset->setTexture(working.gridTexture1());
    reset->setOffset({0, 0, 0});
    const auto overlay = DAEEncoders().getTextureOverlayMap();
    overlay->setGrid(working.gridTexture1());
    overlay->setToGrid(working.gridTexture0());
    overlay->setWet(working.wetTexture1());
    overlay->setToWet(working.wetTexture0());
    // A drop tool has no head: the shared mask must not bind the record another tool left on it.
    DAEEncoders().getMasker()->forgetDescriptor();
  };
}

DropPainting::DropPainting(const DrawingTool& tool, std::shared_ptr<ToolEncoder> paintPass)
    : CompositeEncoderUnit(prepareStep(AppManager().surfaceTextures())) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().gridTexture1());
  setEncoders({reset, std::move(paintPass), registry.getTextureBlur(tool.toolType()), registry.getTextureOverlayMap(),
               registry.getMasker()});
}

}  // namespace tessivarium
