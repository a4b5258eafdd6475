#include "gpu/Dispatch.h"

#include <string>

#include "foundation/Fatal.h"
#include "gpu/Buffer.h"
#include "gpu/Texture.h"

namespace gpu {

namespace {

void checkIndex(std::int64_t index, std::int64_t limit, const char* what) {
  if (index < 0 || index > limit)
    foundation::fatalError(std::string("Dispatch: ") + what + " index " + std::to_string(index) +
                           " is out of range 0 to " + std::to_string(limit));
}

}  // namespace

Dispatch::Dispatch(std::shared_ptr<ComputePipelineState> pipeline, Bindings bindings, Size threadgroupsPerGrid,
                   Size threadsPerThreadgroup, bool repeatsPrevious)
    : pipeline_(std::move(pipeline)),
      bindings_(std::move(bindings)),
      groups_(threadgroupsPerGrid),
      threads_(threadsPerThreadgroup),
      repeatsPrevious_(repeatsPrevious) {}

Size Dispatch::gridSize() const {
  return {groups_.width * threads_.width, groups_.height * threads_.height, groups_.depth * threads_.depth};
}

Texture* Dispatch::texture(std::int64_t index) const {
  checkIndex(index, kMaxTextureIndex, "texture");
  return bindings_.textures[static_cast<std::size_t>(index)].get();
}

TexelView Dispatch::texels(std::int64_t index) const {
  const Texture* t = texture(index);
  return t == nullptr ? TexelView() : t->texels(0);
}

bool Dispatch::bindsSameTexture(std::int64_t index, std::initializer_list<std::int64_t> others) const {
  const Texture* t = texture(index);
  if (t == nullptr) return false;
  for (const std::int64_t other : others) {
    if (texture(other) == t) return true;
  }
  return false;
}

bool Dispatch::independentOf(const Dispatch& other) const {
  if (!pipeline_->writtenSlots() || !other.pipeline_->writtenSlots()) return false;
  return !writesWhatIsBoundIn(other) && !other.writesWhatIsBoundIn(*this);
}

bool Dispatch::writesWhatIsBoundIn(const Dispatch& other) const {
  const WrittenSlots& writes = *pipeline_->writtenSlots();
  const Bindings& theirs = other.bindings_;
  for (std::size_t i = 0; i < bindings_.textures.size(); ++i) {
    const Texture* written = bindings_.textures[i].get();
    if (written == nullptr || !writes.writesTexture(i)) continue;
    for (const auto& bound : theirs.textures) {
      if (bound.get() == written) return true;
    }
  }
  for (std::size_t i = 0; i < bindings_.buffers.size(); ++i) {
    const Buffer* written = bindings_.buffers[i].buffer.get();
    if (written == nullptr || !writes.writesBuffer(i)) continue;
    for (const BufferBinding& bound : theirs.buffers) {
      if (bound.buffer.get() == written) return true;
    }
  }
  return false;
}

std::uint8_t* Dispatch::bufferBytes(std::int64_t index) const {
  checkIndex(index, kMaxBufferIndex, "buffer");
  const BufferBinding& b = bindings_.buffers[static_cast<std::size_t>(index)];
  return b.buffer ? b.buffer->contents() + b.offset : nullptr;
}

std::size_t Dispatch::bufferLength(std::int64_t index) const {
  checkIndex(index, kMaxBufferIndex, "buffer");
  const BufferBinding& b = bindings_.buffers[static_cast<std::size_t>(index)];
  return b.buffer ? b.buffer->length() - b.offset : 0;
}

void Dispatch::checkBufferHolds(std::int64_t index, std::size_t bytes) const {
  const std::size_t length = bufferLength(index);
  if (bufferBytes(index) != nullptr && length < bytes)
    foundation::fatalError("Dispatch: the buffer at index " + std::to_string(index) + " of kernel \"" +
                           pipeline_->functionName() + "\" holds " + std::to_string(length) +
                           " bytes, fewer than the " + std::to_string(bytes) + " the kernel reads");
}

}  // namespace gpu
