#pragma once
// The pass model: what a caller sees of a GPU pass (ToolEncoder), the root of passes that hold only
// a prepare step (AbstractToolEncoder) and the composite that runs child passes in order.
//
// A pass encodes into a command buffer its caller owns; it never commits. Passes are shared objects
// (registries hand the same one to every tool) whose properties carry each call's inputs: a caller
// sets them and encodes at once. Main thread only.

#include <functional>
#include <memory>
#include <vector>

namespace gpu {
class CommandBuffer;
class Texture;
}  // namespace gpu

namespace tessivarium {

class DrawingPaint;

// Work a pass does before its own: it may encode blits or other passes into the same buffer, which
// then come before the pass's dispatch.
using PrepareStep = std::function<void(DrawingPaint& paint, gpu::CommandBuffer& buffer)>;

// A prepare step that does nothing.
PrepareStep noPreparation();

class ToolEncoder {
 public:
  virtual ~ToolEncoder() = default;

  virtual const PrepareStep& prepare() const = 0;
  virtual void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) = 0;
};

// A pass that holds only a prepare step; a subclass provides encode.
class AbstractToolEncoder : public ToolEncoder {
 public:
  explicit AbstractToolEncoder(PrepareStep prepare = noPreparation());

  const PrepareStep& prepare() const override { return prepare_; }
  void setPrepare(PrepareStep prepare) { prepare_ = std::move(prepare); }

  // Stops fatally: a direct subclass must provide its own.
  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  PrepareStep prepare_;
};

// Runs its own prepare step, then each child in list order, all into the same buffer. Each child
// decides for itself whether it runs; each kernel child opens and ends its own encoder.
class CompositeEncoderUnit : public AbstractToolEncoder {
 public:
  explicit CompositeEncoderUnit(PrepareStep prepare = noPreparation());

  const std::vector<std::shared_ptr<ToolEncoder>>& encoders() const { return encoders_; }
  void setEncoders(std::vector<std::shared_ptr<ToolEncoder>> encoders) { encoders_ = std::move(encoders); }

  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  std::vector<std::shared_ptr<ToolEncoder>> encoders_;
};

// Holds two textures and encodes nothing at all, not even its prepare step. Nothing in the system
// makes one.
class CopyEncoderUnit : public AbstractToolEncoder {
 public:
  CopyEncoderUnit(std::shared_ptr<gpu::Texture> from, std::shared_ptr<gpu::Texture> to,
                  PrepareStep prepare = noPreparation());

  const std::shared_ptr<gpu::Texture>& from() const { return from_; }
  void setFrom(std::shared_ptr<gpu::Texture> texture) { from_ = std::move(texture); }
  const std::shared_ptr<gpu::Texture>& to() const { return to_; }
  void setTo(std::shared_ptr<gpu::Texture> texture) { to_ = std::move(texture); }

  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

 private:
  std::shared_ptr<gpu::Texture> from_;
  std::shared_ptr<gpu::Texture> to_;
};

}  // namespace tessivarium
