#include "tools/brushes/WidePainting.h"

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
namespace {

void prepareStep(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  copyHeadForStep(paint, buffer, "DAEWidePainting");
  pointStepPassesAtWorkingTextures();
  // The flat model has no record: the shared mask must not bind the one another tool left on it.
  DAEEncoders().getMasker()->forgetDescriptor();
}

}  // namespace

DAEWidePainting::DAEWidePainting(const DrawingTool& tool, PrepareStep) : CompositeEncoderUnit(prepareStep) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().gridTexture1());
  const auto blur = registry.getTextureBlur(tool.toolType());
  setEncoders({reset, registry.getPaintEncoder(tool.toolType()), registry.getTextureOverlayMap(), blur, blur,
               registry.getMasker()});
}

}  // namespace tessivarium
