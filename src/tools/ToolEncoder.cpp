#include "tools/ToolEncoder.h"

#include <string>

#include "foundation/Fatal.h"

namespace tessivarium {

PrepareStep noPreparation() {
  return [](DrawingPaint&, gpu::CommandBuffer&) {};
}

AbstractToolEncoder::AbstractToolEncoder(PrepareStep prepare) : prepare_(std::move(prepare)) {}

void AbstractToolEncoder::encode(DrawingPaint&, gpu::CommandBuffer&) {
  foundation::fatalError("Should be implemented in subclass!");
}

CompositeEncoderUnit::CompositeEncoderUnit(PrepareStep prepare) : AbstractToolEncoder(std::move(prepare)) {}

void CompositeEncoderUnit::encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) {
  if (prepare()) prepare()(paint, buffer);
  // A copy, so that a child that replaces the list does not disturb this run.
  const auto children = encoders_;
  for (std::size_t i = 0; i < children.size(); ++i) {
    if (!children[i]) {
      foundation::fatalError("A composite pass holds no pass at position " + std::to_string(i));
    }
    children[i]->encode(paint, buffer);
  }
}

CopyEncoderUnit::CopyEncoderUnit(std::shared_ptr<gpu::Texture> from, std::shared_ptr<gpu::Texture> to,
                                 PrepareStep prepare)
    : AbstractToolEncoder(std::move(prepare)), from_(std::move(from)), to_(std::move(to)) {}

void CopyEncoderUnit::encode(DrawingPaint&, gpu::CommandBuffer&) {}

}  // namespace tessivarium
