#include "tools/DropPainting.h"

#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"

namespace tessivarium {

PrepareStep DropPainting::prepareStep() {
  return [](DrawingPaint&, gpu::CommandBuffer& buffer) {
    buffer.makeBlitCommandEncoder()->endEncoding();
    pointStepPassesAtWorkingTextures(StepDryPair::None);
    // A drop tool has no head: the shared mask must not bind the record another tool left on it.
    DAEEncoders().getMasker()->forgetDescriptor();
  };
}

DropPainting::DropPainting(const DrawingTool& tool, std::shared_ptr<ToolEncoder> paintPass)
    : CompositeEncoderUnit(prepareStep()) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().gridTexture1());
  setEncoders({reset, std::move(paintPass), registry.getTextureBlur(tool.toolType()), registry.getTextureOverlayMap(),
               registry.getMasker()});
}

}  // namespace tessivarium
