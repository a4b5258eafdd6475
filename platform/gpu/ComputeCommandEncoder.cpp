#include "gpu/ComputeCommandEncoder.h"

#include <limits>
#include <string>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandTrace.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/Dispatch.h"

namespace gpu {

namespace {

std::string sizeText(Size s) {
  return std::to_string(s.width) + " x " + std::to_string(s.height) + " x " + std::to_string(s.depth);
}

DispatchRecord traceRecord(const CommandBuffer* buffer, const Dispatch& dispatch) {
  DispatchRecord record;
  record.commandBuffer = buffer;
  record.kernelName = dispatch.pipeline().functionName();
  const Bindings& b = dispatch.bindings();
  for (std::size_t i = 0; i < b.textures.size(); ++i)
    if (b.textures[i]) record.textures[static_cast<std::int64_t>(i)] = b.textures[i];
  for (std::size_t i = 0; i < b.buffers.size(); ++i) {
    const BufferBinding& binding = b.buffers[i];
    if (!binding.buffer) continue;
    const std::uint8_t* begin = binding.buffer->contents() + binding.offset;
    record.buffers[static_cast<std::int64_t>(i)] =
        BoundBufferRecord{binding.buffer, binding.offset,
                          std::vector<std::uint8_t>(begin, begin + (binding.buffer->length() - binding.offset))};
  }
  record.threadgroupsPerGrid = dispatch.threadgroupsPerGrid();
  record.threadsPerThreadgroup = dispatch.threadsPerThreadgroup();
  return record;
}

}  // namespace

ComputeCommandEncoder::ComputeCommandEncoder(std::shared_ptr<CommandBuffer> buffer) : buffer_(std::move(buffer)) {}

void ComputeCommandEncoder::checkOpen(const char* what) const {
  if (ended_) foundation::fatalError(std::string(what) + ": the compute encoder has ended");
}

void ComputeCommandEncoder::setComputePipelineState(std::shared_ptr<ComputePipelineState> pipeline) {
  checkOpen("setComputePipelineState");
  if (!pipeline) foundation::fatalError("setComputePipelineState: no pipeline");
  pipeline_ = std::move(pipeline);
}

void ComputeCommandEncoder::setTexture(std::shared_ptr<Texture> texture, std::int64_t index) {
  checkOpen("setTexture");
  if (index < 0 || index > kMaxTextureIndex)
    foundation::fatalError("setTexture: index " + std::to_string(index) + " is out of range 0 to " +
                           std::to_string(kMaxTextureIndex));
  bindings_.textures[static_cast<std::size_t>(index)] = std::move(texture);
}

void ComputeCommandEncoder::setBuffer(std::shared_ptr<Buffer> buffer, std::size_t offset, std::int64_t index) {
  checkOpen("setBuffer");
  if (index < 0 || index > kMaxBufferIndex)
    foundation::fatalError("setBuffer: index " + std::to_string(index) + " is out of range 0 to " +
                           std::to_string(kMaxBufferIndex));
  if (buffer && offset > buffer->length())
    foundation::fatalError("setBuffer: offset " + std::to_string(offset) + " is beyond the buffer's " +
                           std::to_string(buffer->length()) + " bytes");
  const std::size_t boundOffset = buffer ? offset : 0;
  bindings_.buffers[static_cast<std::size_t>(index)] = BufferBinding{std::move(buffer), boundOffset};
}

void ComputeCommandEncoder::dispatchThreadgroups(Size threadgroupsPerGrid, Size threadsPerThreadgroup) {
  checkOpen("dispatchThreadgroups");
  if (!pipeline_) foundation::fatalError("dispatchThreadgroups: no compute pipeline state is set");
  const Size& t = threadsPerThreadgroup;
  if (t.width == 0 || t.height == 0 || t.depth == 0)
    foundation::fatalError("dispatchThreadgroups: a thread group of " + sizeText(t) + " has no thread");
  if (t.width * t.height * t.depth > pipeline_->maxTotalThreadsPerThreadgroup())
    foundation::fatalError("dispatchThreadgroups: a thread group of " + sizeText(t) + " exceeds " +
                           std::to_string(pipeline_->maxTotalThreadsPerThreadgroup()) + " threads");
  const Size& g = threadgroupsPerGrid;
  constexpr std::size_t limit = std::numeric_limits<std::uint32_t>::max();
  if ((g.width != 0 && g.width > limit / t.width) || (g.height != 0 && g.height > limit / t.height) ||
      (g.depth != 0 && g.depth > limit / t.depth))
    foundation::fatalError("dispatchThreadgroups: a grid of " + sizeText(g) + " groups is too large");
  // Snapshot: the kernel sees the bindings as they are now, whatever is bound later.
  const bool repeats = last_ && &last_->pipeline() == pipeline_.get() && last_->bindings() == bindings_ &&
                       last_->threadgroupsPerGrid() == g && last_->threadsPerThreadgroup() == t;
  auto dispatch = std::make_shared<const Dispatch>(pipeline_, bindings_, g, t, repeats);
  if (commandTrace().isRecording()) commandTrace().record(traceRecord(buffer_.get(), *dispatch));
  if (g.width == 0 || g.height == 0 || g.depth == 0) return;  // an empty grid runs nothing
  last_ = dispatch;
  buffer_->appendDispatch(std::move(dispatch));
}

void ComputeCommandEncoder::endEncoding() {
  checkOpen("endEncoding");
  ended_ = true;
  last_.reset();
  buffer_->encoderEnded(this);
  if (commandTrace().isRecording()) commandTrace().record(EncoderRecord{buffer_.get(), EncoderKind::Compute, false});
}

}  // namespace gpu
