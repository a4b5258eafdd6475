#include "tools/DAEPainting.h"

#include <string>

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "tools/AbstractDAEEncoderUnit.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "tools/ToolViewer.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

void prepareStep(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  copyHeadForStep(paint, buffer, "DAEPainting");
  pointStepPassesAtWorkingTextures();
}

}  // namespace

void copyHeadForStep(DrawingPaint& paint, gpu::CommandBuffer& buffer, const char* who) {
  const auto& model = paint.drawingTool()->toolViewer()->toolModel();
  if (!model) foundation::fatalError(std::string(who) + ": the current tool has no tool model");
  const auto blit = buffer.makeBlitCommandEncoder();
  copyTexture(*blit, model->colorTexture0(), model->colorTexture1());
  blit->endEncoding();
}

void pointStepPassesAtWorkingTextures(StepDryPair dryPair) {
  auto& working = AppManager().surfaceTextures();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(working.gridTexture1());
  reset->setOffset({0, 0, 0});
  const auto overlay = DAEEncoders().getTextureOverlayMap();
  overlay->setGrid(working.gridTexture1());
  overlay->setToGrid(working.gridTexture0());
  overlay->setWet(working.wetTexture1());
  overlay->setToWet(working.wetTexture0());
  if (dryPair == StepDryPair::None) return;
  overlay->setDry(working.dryTexture1());
  overlay->setToDry(working.dryTexture0());
}

void handDescriptorToChildren(CompositeEncoderUnit& composite, DrawingPaint& paint) {
  const auto model = paint.drawingTool()->toolSurface()->getModel();
  if (!model) return;
  const auto buffer = makeDescriptorBuffer(paint, *model);
  if (!buffer) return;
  for (const auto& child : composite.encoders()) {
    if (auto* pass = dynamic_cast<AbstractDAEEncoderUnit*>(child.get())) pass->setDescriptorBuffer(buffer);
  }
}

std::vector<std::shared_ptr<ToolEncoder>> headStepPasses(const DrawingTool& tool) {
  auto& registry = DAEEncoders();
  const auto& reset = EncodersProvider().getTextureReset2D();
  reset->setTexture(AppManager().surfaceTextures().gridTexture1());
  const auto blur = registry.getTextureBlur(tool.toolType());
  return {reset, registry.getPaintEncoder(tool.toolType()), registry.getTextureOverlayMap(), blur, blur,
          registry.getMasker()};
}

DAEPainting::DAEPainting(const DrawingTool& tool, PrepareStep) : CompositeEncoderUnit(prepareStep) {
  setEncoders(headStepPasses(tool));
}

void DAEPainting::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  prepare()(paint, buffer);
  handDescriptorToChildren(*this, paint);
  CompositeEncoderUnit::encode(paint, buffer);
}

}  // namespace tessivarium
