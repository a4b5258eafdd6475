#include "tools/DAEColorFill.h"

#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"

namespace tessivarium {

DAEColorFill::DAEColorFill(const DrawingTool& tool, const graphics::Color& color, float force, PrepareStep prepare)
    : CompositeEncoderUnit(std::move(prepare)), force_(force) {
  const auto fill = DAEEncoders().getColorFillEncoder(tool.toolType());
  fill->setColor(color);
  fill->setForce(force);
  setEncoders({fill});
}

void DAEColorFill::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  prepare()(paint, buffer);
  handDescriptorToChildren(*this, paint);
  CompositeEncoderUnit::encode(paint, buffer);
}

}  // namespace tessivarium
