#include "tools/brushes/WidePainting.h"

#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolModelPasses.h"

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
  setEncoders(headStepPasses(tool));
}

}  // namespace tessivarium
