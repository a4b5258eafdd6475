#pragma once
// The kernel core of a pass (AbstractShaderUnit: kernel name, thread-group sizing, a pipeline built
// once on first use) and the kernel pass almost every GPU step derives from (AbstractToolEncoderShader).
//
// Sizing: with w the pipeline's thread execution width (32), a texture of depth 1 gets groups of
// w/8 x w/8 x 1 threads, a deeper one w/8 x w/8 x w/4; the group counts round up, so a grid may
// overhang its texture and every kernel skips positions outside the textures it writes. The sizes
// stay in the pass between encodes, whichever caller set them.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "gpu/Types.h"
#include "tools/ToolEncoder.h"

namespace gpu {
class ComputeCommandEncoder;
class ComputePipelineState;
class Texture;
}  // namespace gpu

namespace tessivarium {

class AbstractShaderUnit {
 public:
  explicit AbstractShaderUnit(std::string shaderName);
  virtual ~AbstractShaderUnit() = default;
  AbstractShaderUnit(const AbstractShaderUnit&) = delete;
  AbstractShaderUnit& operator=(const AbstractShaderUnit&) = delete;

  const std::string& shaderName() const { return shaderName_; }

  const std::optional<gpu::Size>& threadsPerThreadgroup() const { return threadsPerThreadgroup_; }
  void setThreadsPerThreadgroup(std::optional<gpu::Size> size) { threadsPerThreadgroup_ = size; }
  const std::optional<gpu::Size>& threadgroupsPerGrid() const { return threadgroupsPerGrid_; }
  void setThreadgroupsPerGrid(std::optional<gpu::Size> size) { threadgroupsPerGrid_ = size; }

  // The pipeline, built on the first read from AppManager's device (printing its timing line);
  // every later read returns the same one.
  const std::shared_ptr<gpu::ComputePipelineState>& shaderPipelineState();
  void setShaderPipelineState(std::shared_ptr<gpu::ComputePipelineState> pipeline) {
    shaderPipelineState_ = std::move(pipeline);
  }

  // Sizes the groups for the texture: 3-D groups for a texture deeper than 1. Dispatches nothing.
  void updateThreadGroup(const gpu::Texture& texture);
  // Sizes 2-D groups over the texture's width and height, whatever its depth.
  void updateThreadGroup2D(const gpu::Texture& texture);
  // Size as above, then dispatch on `encoder` at once. Called from a pass's fill, this makes that
  // encode dispatch the kernel twice (the pass dispatches once more after its fill).
  void encodeThreadGroup(const gpu::Texture& texture, gpu::ComputeCommandEncoder& encoder);
  void encodeThreadGroup2D(const gpu::Texture& texture, gpu::ComputeCommandEncoder& encoder);

 protected:
  // Dispatches with the stored sizes; a pass never sized is a fatal stop.
  void dispatchStoredSizes(gpu::ComputeCommandEncoder& encoder);

 private:
  void size(std::size_t width, std::size_t height, std::size_t depth);

  std::string shaderName_;
  std::optional<gpu::Size> threadsPerThreadgroup_;
  std::optional<gpu::Size> threadgroupsPerGrid_;
  std::shared_ptr<gpu::ComputePipelineState> shaderPipelineState_;
};

// A kernel pass: encode runs the prepare step, opens a compute encoder, sets the pipeline, lets the
// subclass bind its arguments in fillCommandBuffer and dispatches with the stored sizes.
class AbstractToolEncoderShader : public AbstractShaderUnit, public ToolEncoder {
 public:
  AbstractToolEncoderShader(std::string shaderName, PrepareStep prepare = noPreparation());

  const PrepareStep& prepare() const override { return prepare_; }
  void setPrepare(PrepareStep prepare) { prepare_ = std::move(prepare); }

  // A pass that is not enabled encodes nothing, and its prepare step does not run.
  virtual bool isEnabled() const { return true; }

  void encode(DrawingPaint& paint, gpu::CommandBuffer& buffer) override;

  // Binds the pass's textures and buffers and leaves the sizes set; the base binds nothing.
  virtual void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder);

 protected:
  // For a fill that has nothing to bind (an input is missing): this encode then dispatches nothing.
  void skipDispatch() { dispatchSkipped_ = true; }
  // encodeThreadGroup2D over `texture`, or, when the texture could not be made (its creation has
  // already reported NoMoreHeap), skipDispatch().
  void encodeThreadGroup2DOrSkip(const std::shared_ptr<gpu::Texture>& texture,
                                 gpu::ComputeCommandEncoder& encoder);

 private:
  PrepareStep prepare_;
  bool dispatchSkipped_ = false;
};

}  // namespace tessivarium
