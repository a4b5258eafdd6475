#include "tools/AbstractShaderUnit.h"

#include "foundation/Fatal.h"
#include "gpu/CommandBuffer.h"
#include "gpu/ComputeCommandEncoder.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/KernelPipeline.h"

namespace tessivarium {
namespace {

std::size_t groupsFor(std::size_t extent, std::size_t threads) { return (extent + threads - 1) / threads; }

}  // namespace

AbstractShaderUnit::AbstractShaderUnit(std::string shaderName) : shaderName_(std::move(shaderName)) {}

const std::shared_ptr<gpu::ComputePipelineState>& AbstractShaderUnit::shaderPipelineState() {
  if (!shaderPipelineState_) shaderPipelineState_ = makeKernelPipeline(AppManager().device(), shaderName_, true);
  return shaderPipelineState_;
}

void AbstractShaderUnit::size(std::size_t width, std::size_t height, std::size_t depth) {
  const std::size_t w = shaderPipelineState()->threadExecutionWidth();
  if (w < 8) {
    foundation::fatalError("A thread execution width of " + std::to_string(w) + " is too small to size \"" +
                           shaderName_ + "\"");
  }
  const gpu::Size threads = depth == 1 ? gpu::Size{w / 8, w / 8, 1} : gpu::Size{w / 8, w / 8, w / 4};
  threadsPerThreadgroup_ = threads;
  threadgroupsPerGrid_ = gpu::Size{groupsFor(width, threads.width), groupsFor(height, threads.height),
                                   depth == 1 ? 1 : groupsFor(depth, threads.depth)};
}

void AbstractShaderUnit::updateThreadGroup(const gpu::Texture& texture) {
  size(texture.width(), texture.height(), texture.depth());
}

void AbstractShaderUnit::updateThreadGroup2D(const gpu::Texture& texture) {
  size(texture.width(), texture.height(), 1);
}

void AbstractShaderUnit::encodeThreadGroup(const gpu::Texture& texture, gpu::ComputeCommandEncoder& encoder) {
  updateThreadGroup(texture);
  dispatchStoredSizes(encoder);
}

void AbstractShaderUnit::encodeThreadGroup2D(const gpu::Texture& texture, gpu::ComputeCommandEncoder& encoder) {
  updateThreadGroup2D(texture);
  dispatchStoredSizes(encoder);
}

void AbstractShaderUnit::dispatchStoredSizes(gpu::ComputeCommandEncoder& encoder) {
  if (!threadgroupsPerGrid_ || !threadsPerThreadgroup_) {
    foundation::fatalError("The pass \"" + shaderName_ + "\" was encoded before its thread groups were sized");
  }
  encoder.dispatchThreadgroups(*threadgroupsPerGrid_, *threadsPerThreadgroup_);
}

AbstractToolEncoderShader::AbstractToolEncoderShader(std::string shaderName, PrepareStep prepare)
    : AbstractShaderUnit(std::move(shaderName)), prepare_(std::move(prepare)) {}

void AbstractToolEncoderShader::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  if (!isEnabled()) return;
  if (prepare_) prepare_(paint, buffer);
  const auto encoder = buffer.makeComputeCommandEncoder();
  encoder->setComputePipelineState(shaderPipelineState());
  dispatchSkipped_ = false;
  fillCommandBuffer(paint, *encoder);
  if (!dispatchSkipped_) dispatchStoredSizes(*encoder);
  encoder->endEncoding();
}

void AbstractToolEncoderShader::fillCommandBuffer(DrawingPaint&, gpu::ComputeCommandEncoder&) {}

void AbstractToolEncoderShader::encodeThreadGroup2DOrSkip(const std::shared_ptr<gpu::Texture>& texture,
                                                          gpu::ComputeCommandEncoder& encoder) {
  if (!texture) {
    skipDispatch();
    return;
  }
  encodeThreadGroup2D(*texture, encoder);
}

}  // namespace tessivarium
