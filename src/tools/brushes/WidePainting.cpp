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
  prepareHeadStep(paint, buffer, "DAEWidePainting");
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
