#include "tools/brushes/DAERoundPainting.h"

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

void prepareStep(DrawingPaint&, gpu::CommandBuffer&) {
  pointStepPassesAtWorkingTextures();
  // The brush has no head: the shared mask must not bind the record another tool left on it.
  DAEEncoders().getMasker()->forgetDescriptor();
}

}  // namespace

DAERoundPainting::DAERoundPainting(const DrawingTool& tool, PrepareStep) : CompositeEncoderUnit(prepareStep) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().gridTexture1());
  setEncoders({reset, registry.getPaintEncoder(tool.toolType()), registry.getTextureOverlayMap(),
               registry.getTextureBlur(tool.toolType()), registry.getMasker()});
}

}  // namespace tessivarium
