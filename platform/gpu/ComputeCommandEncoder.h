#pragma once
// Encodes dispatches of compute kernels. Each dispatch snapshots the pipeline and the bindings set so
// far; rebinding afterwards changes only later dispatches. One texture may be bound at several
// indices (a read and a write index) of the same dispatch.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "gpu/Bindings.h"
#include "gpu/Types.h"

namespace gpu {

class Buffer;
class CommandBuffer;
class ComputePipelineState;
class Dispatch;
class Texture;

class ComputeCommandEncoder {
 public:
  explicit ComputeCommandEncoder(std::shared_ptr<CommandBuffer> buffer);

  ComputeCommandEncoder(const ComputeCommandEncoder&) = delete;
  ComputeCommandEncoder& operator=(const ComputeCommandEncoder&) = delete;

  void setComputePipelineState(std::shared_ptr<ComputePipelineState> pipeline);
  // Binds (or, with null, unbinds) a texture at 0 to kMaxTextureIndex; other indices are fatal.
  void setTexture(std::shared_ptr<Texture> texture, std::int64_t index);
  // Binds a buffer at 0 to kMaxBufferIndex from `offset` on (at most its length).
  void setBuffer(std::shared_ptr<Buffer> buffer, std::size_t offset, std::int64_t index);

  // Dispatches the pipeline over threadgroupsPerGrid groups of threadsPerThreadgroup threads. Fatal
  // without a pipeline, with a group of no thread, or with more threads per group than the
  // pipeline's maximum.
  void dispatchThreadgroups(Size threadgroupsPerGrid, Size threadsPerThreadgroup);

  void endEncoding();
  bool isEnded() const { return ended_; }

 private:
  void checkOpen(const char* what) const;

  std::shared_ptr<CommandBuffer> buffer_;
  std::shared_ptr<ComputePipelineState> pipeline_;
  Bindings bindings_;
  // The last dispatch that had work: while this encoder is open the command buffer takes work from
  // it alone, so that dispatch is what runs just before the next one.
  std::shared_ptr<const Dispatch> last_;
  bool ended_ = false;
};

}  // namespace gpu
