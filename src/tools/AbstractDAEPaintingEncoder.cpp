#include "tools/AbstractDAEPaintingEncoder.h"

#include "components/DrawingPaint.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEPassInputs.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DrawingTool.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"
#include "utils/MetalUtil.h"

namespace tessivarium {

std::array<std::uint8_t, 8> pencilStateBytes(bool forward) {
  std::array<std::uint8_t, 8> bytes{};
  bytes[1] = forward ? 1 : 0;
  return bytes;
}

bool paintsForward(ToolSurface& surface) {
  if (!isKnife(surface.tool().toolType())) return true;
  const auto model = surface.getModel();
  DAEDescriptorSource* head = model ? descriptorSourceOf(*model) : nullptr;
  return head && surface.isForwardDrawing(head->descriptorRotation());
}

AbstractDAEPaintingEncoder::AbstractDAEPaintingEncoder(std::string shaderName, PrepareStep prepare)
    : AbstractDAEEncoderUnit(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEPaintingEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  auto& surface = *paint.drawingTool()->toolSurface();
  surface.encodeTextures(paint, encoder);
  surface.encodeInput(encoder);
  surface.encodeOffset(encoder);
  surface.encodePathStart(encoder);
  encodeCanvasMask(paint, encoder);
  const auto state = pencilStateBytes(paintsForward(surface));
  encoder.setBuffer(AppManager().device()->makeBuffer(state.data(), state.size()), 0, BUFFER_PENCIL_STATE);
  AbstractDAEEncoderUnit::fillCommandBuffer(paint, encoder);
  updateThreadGroup2D(*AppManager().surfaceTextures().gridTexture0());
}

AbstractDAEPickupEncoder::AbstractDAEPickupEncoder(std::string shaderName, PrepareStep prepare)
    : AbstractDAEPaintingEncoder(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEPickupEncoder::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  encoder.setBuffer(makeBuffer(color_.value_or(graphics::Color::fromRGBA(0, 0, 0, 0))), 0, BUFFER_COLOR);
  AbstractDAEPaintingEncoder::fillCommandBuffer(paint, encoder);
}

}  // namespace tessivarium
