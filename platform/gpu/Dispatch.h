#pragma once
// One dispatch as a kernel receives it: the pipeline, the snapshot of the bindings taken when it was
// encoded, the thread groups per grid and the threads per group, and whether it repeats the dispatch
// that ran just before it.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>

#include "gpu/Bindings.h"
#include "gpu/ComputePipelineState.h"
#include "gpu/TexelView.h"
#include "gpu/Types.h"

namespace gpu {

class Dispatch {
 public:
  Dispatch(std::shared_ptr<ComputePipelineState> pipeline, Bindings bindings, Size threadgroupsPerGrid,
           Size threadsPerThreadgroup, bool repeatsPrevious = false);

  const ComputePipelineState& pipeline() const { return *pipeline_; }
  Size threadgroupsPerGrid() const { return groups_; }
  Size threadsPerThreadgroup() const { return threads_; }
  // Threads per grid: groups x threads in each dimension.
  Size gridSize() const;

  // The texture bound at `index`, or null when none is; fatal for an index out of range.
  Texture* texture(std::int64_t index) const;
  // Level 0 of the texture at `index`; an empty view when none is bound.
  TexelView texels(std::int64_t index) const;

  // The bytes of the buffer at `index` from its binding offset on, or null when none is bound.
  std::uint8_t* bufferBytes(std::int64_t index) const;
  // The bytes from the offset to the end of the buffer (0 when none is bound).
  std::size_t bufferLength(std::int64_t index) const;
  // The buffer's bytes as a T, or null when none is bound. Fatal when the buffer holds fewer than
  // sizeof(T) bytes after its offset. Check before forEachThread, not inside it.
  template <class T>
  T* bufferAs(std::int64_t index) const {
    checkBufferHolds(index, sizeof(T));
    return reinterpret_cast<T*>(bufferBytes(index));
  }

  const Bindings& bindings() const { return bindings_; }

  // True when the work that ran just before this dispatch was a dispatch of the same pipeline with
  // the same bindings and sizes (its encoder's previous one). A kernel whose second run over inputs
  // it did not change writes what the first wrote may then return at once.
  bool repeatsPrevious() const { return repeatsPrevious_; }
  // True when the same texture is bound at `index` and at any of `others`.
  bool bindsSameTexture(std::int64_t index, std::initializer_list<std::int64_t> others) const;

  // True when this dispatch and `other` may run at the same time: both kernels say which slots they
  // write (gpu/Kernel.h), and neither writes a texture or buffer the other binds.
  bool independentOf(const Dispatch& other) const;

 private:
  void checkBufferHolds(std::int64_t index, std::size_t bytes) const;
  // True when a texture or buffer this dispatch writes is bound anywhere in `other`.
  bool writesWhatIsBoundIn(const Dispatch& other) const;

  std::shared_ptr<ComputePipelineState> pipeline_;
  Bindings bindings_;
  Size groups_, threads_;
  bool repeatsPrevious_;
};

}  // namespace gpu
