#include "tools/brushes/BrushDAEEncoders.h"

#include <string>

#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModel.h"
#include "tools/brushes/BristleLayouts.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

// The layout's records; a head that could not be laid is named on the console with its reason.
std::vector<Bristle> reported(BristleLayout layout) {
  if (!layout.problem.empty()) foundation::consoleLine("No bristles: " + layout.problem);
  return std::move(layout.bristles);
}

}  // namespace

void AbstractBrushEncoderUnit::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  // Shared by every size of a family: the record is always the current head's own.
  setDescriptorBuffer(nullptr);
  AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  const std::vector<Bristle> bristles = createBristles(paint);
  const std::size_t perGroup = shaderPipelineState()->threadExecutionWidth() / 8;
  if (perGroup == 0) foundation::fatalError(shaderName() + ": the execution width is below 8");
  if (bristles.empty()) {
    skipDispatch();
    return;
  }
  const std::vector<std::uint8_t> bytes = bristleBytes(bristles);
  encoder.setBuffer(AppManager().device()->makeBuffer(bytes.data(), bytes.size()), 0, BUFFER_BRISTLES);
  setThreadsPerThreadgroup(gpu::Size{perGroup, 1, 1});
  setThreadgroupsPerGrid(gpu::Size{(bristles.size() + perGroup - 1) / perGroup, 1, 1});
}

DAEToolModel& AbstractBrushEncoderUnit::measuredHead(DrawingPaint& paint) const {
  auto* head = dynamic_cast<DAEToolModel*>(&currentToolModel(paint, shaderName().c_str()));
  if (!head) foundation::fatalError(shaderName() + ": the current tool's model has no measured head");
  return *head;
}

std::vector<Bristle> FanBrushInitializer::createBristles(DrawingPaint& paint) {
  auto bristles = reported(layFanBristles(bristleHeadOf(*measuredHead(paint).descriptor())));
  foundation::consoleLine("Bristles: " + foundation::describe(static_cast<std::uint64_t>(bristles.size())));
  return bristles;
}

std::vector<Bristle> FlatBrushInitializer::createBristles(DrawingPaint& paint) {
  return reported(layFlatBristles(bristleHeadOf(*measuredHead(paint).descriptor())));
}

std::vector<Bristle> FilbertBrushInitializer::createBristles(DrawingPaint& paint) {
  return reported(layFilbertBristles(bristleHeadOf(*measuredHead(paint).descriptor())));
}

}  // namespace tessivarium
