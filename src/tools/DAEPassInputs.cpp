#include "tools/DAEPassInputs.h"

#include <string>

#include "foundation/Fatal.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"

namespace tessivarium {
namespace {

StrokeSurfaceSteps& stepsOf(ToolSurface& surface, const char* member) {
  auto* steps = dynamic_cast<StrokeSurfaceSteps*>(&surface);
  if (!steps) foundation::fatalError(std::string("ToolSurface.") + member + ": not built yet");
  return *steps;
}

}  // namespace

DAEDescriptorSource* descriptorSourceOf(ToolModel& model) { return dynamic_cast<DAEDescriptorSource*>(&model); }

void encodeInput(ToolSurface& surface, gpu::ComputeCommandEncoder& encoder) {
  stepsOf(surface, "encodeInput").encodeInput(encoder);
}

bool isForwardDrawing(ToolSurface& surface, float rotation) {
  return stepsOf(surface, "isForwardDrawing").isForwardDrawing(rotation);
}

void encodeStart(ToolSurface& surface, DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  stepsOf(surface, "encodeStart").encodeStart(paint, buffer);
}

void encodeLoop(ToolSurface& surface, DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  stepsOf(surface, "encodeLoop").encodeLoop(paint, buffer);
}

TouchInputs& carriedTouchInputs(ToolSurface& surface) {
  return stepsOf(surface, "touchInputs").carriedTouchInputs();
}

}  // namespace tessivarium
