#include "tools/AbstractDAEEncoderUnit.h"

#include <string>

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPassInputs.h"
#include "tools/DrawingTool.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"

namespace tessivarium {

ToolModel& currentToolModel(DrawingPaint& paint, const char* who) {
  const auto model = paint.drawingTool()->toolSurface()->getModel();
  if (!model) foundation::fatalError(std::string(who) + ": the current tool has no tool model");
  return *model;
}

std::shared_ptr<gpu::Buffer> makeDescriptorBuffer(DrawingPaint& paint, ToolModel& model) {
  DAEDescriptorSource* source = descriptorSourceOf(model);
  if (!source) return nullptr;
  const auto tool = paint.drawingTool();
  auto& surface = *tool->toolSurface();
  const auto bytes = descriptorBytes(source->descriptorRecord(paint, static_cast<std::int32_t>(tool->touchCount()),
                                                              surface.touchInputData(), 0));
  return AppManager().device()->makeBuffer(bytes.data(), bytes.size());
}

AbstractDAEEncoderUnit::AbstractDAEEncoderUnit(std::string shaderName, PrepareStep prepare)
    : AbstractToolEncoderShader(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEEncoderUnit::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  ToolModel& model = currentToolModel(paint, shaderName().c_str());
  if (!descriptorBuffer_) descriptorBuffer_ = makeDescriptorBuffer(paint, model);
  if (descriptorBuffer_) encoder.setBuffer(descriptorBuffer_, 0, BUFFER_DAE_DESCRIPTOR);
  encoder.setTexture(model.colorTexture0(), TEXTURE_TOOL_READ);
  encoder.setTexture(model.colorTexture1(), TEXTURE_TOOL_WRITE);
  model.swapTexture();
}

}  // namespace tessivarium
