#include "tools/sander/DAESanderPainting.h"

#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"

namespace tessivarium {
namespace {

// Other composites point the shared reset elsewhere, so every step points it back.
void resetTheMap(DrawingPaint&, gpu::CommandBuffer&) {
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().renderingTexture());
  reset->setOffset({0, 0, 0});
}

}  // namespace

DAESanderPainting::DAESanderPainting(const DrawingTool& tool, PrepareStep) : CompositeEncoderUnit(resetTheMap) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().renderingTexture());
  setEncoders({reset, registry.getPaintEncoder(tool.toolType()), registry.getTextureBlur(tool.toolType()),
               registry.getMasker()});
}

void DAESanderPainting::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  handDescriptorToChildren(*this, paint);
  CompositeEncoderUnit::encode(paint, buffer);
}

}  // namespace tessivarium
