#pragma once
// A tool's stroke state on the GPU side. So far only what the texture passes call of it: the
// working-region offset with its 16-byte buffer, the show-ground flag buffer, and the binders that
// put the surface's standard arguments on a compute encoder. The stroke window, the sample upload
// and the encode cycle come with the tool framework.

#include <memory>
#include <optional>
#include <span>

#include "gpu/Types.h"
#include "gpu/Vectors.h"
#include "tools/TouchInput.h"

namespace gpu {
class Buffer;
class CommandBuffer;
class ComputeCommandEncoder;
}  // namespace gpu

namespace tessivarium {

class AbstractDrawingTool;
class ArtworkTextures;
class DrawingPaint;
class ToolModel;

class ToolSurface {
 public:
  // The surface of `tool`, which owns it: offset (0, 0, 0), its buffer made on AppManager's device.
  explicit ToolSurface(AbstractDrawingTool& tool);
  virtual ~ToolSurface();
  ToolSurface(const ToolSurface&) = delete;
  ToolSurface& operator=(const ToolSurface&) = delete;

  AbstractDrawingTool& tool() const { return *tool_; }

  // The origin of the working region in the layer (z is 0). Every assignment makes a new offset
  // buffer holding it.
  gpu::uint3 offset() const { return offset_; }
  void setOffset(gpu::uint3 offset);
  const std::shared_ptr<gpu::Buffer>& offsetBuffer() const { return offsetBuffer_; }

  // The 1-byte show-ground flag; absent until something stores one.
  const std::shared_ptr<gpu::Buffer>& showGroundBuffer() const { return showGroundBuffer_; }
  void setShowGroundBuffer(std::shared_ptr<gpu::Buffer> buffer) { showGroundBuffer_ = std::move(buffer); }

  // offsetBuffer at BUFFER_OFFSET.
  void encodeOffset(gpu::ComputeCommandEncoder& encoder);
  // A new 16-byte buffer holding `offset` at BUFFER_OFFSET; the surface's own offset is unchanged.
  void encodeOffset(gpu::ComputeCommandEncoder& encoder, gpu::uint3 offset);
  // A new buffer of the values (4 bytes each) at BUFFER_VALUE.
  void encodeValues(gpu::ComputeCommandEncoder& encoder, std::span<const float> values);
  // The standard set: the canvas's ground at TEXTURE_GROUND; the working grid, wet and dry textures
  // numbered 0 at the read slots and those numbered 1 at the write slots.
  void encodeTextures(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder);

  // --- The stroke window: what the tool's stroke calls of it. The window's cycle comes with the
  // stroke window; until then the operations stop with "not built yet".
  // The window-local samples of the current step.
  TouchInputData& touchInputData() { return touchInputData_; }
  // Where the window was last loaded from the layer; none while no window is loaded.
  const std::optional<gpu::Origin>& origin() const { return origin_; }
  void setOrigin(std::optional<gpu::Origin> origin) { origin_ = origin; }
  virtual void loads();
  virtual void updateChange();
  // Forgets the window, so that the next stroke opens a new one.
  virtual void touchEnd();
  // Copies the working textures back into the current layer at `origin`.
  virtual void encodeSave(DrawingPaint& paint, gpu::CommandBuffer& buffer);
  // What a tool model's pick calls of it: taking a batch of samples (choosing and uploading their
  // window), the tool model of the tool's viewer (none without one), and loading `layer`'s window
  // into the working textures.
  virtual void reset(const TouchInputs& touchInputs);
  virtual std::shared_ptr<ToolModel> getModel();
  virtual void encodeLoads(ArtworkTextures& layer, gpu::CommandBuffer& buffer);

 private:
  AbstractDrawingTool* tool_;
  gpu::uint3 offset_;
  std::shared_ptr<gpu::Buffer> offsetBuffer_;
  std::shared_ptr<gpu::Buffer> showGroundBuffer_;
  TouchInputData touchInputData_;
  std::optional<gpu::Origin> origin_;
};

}  // namespace tessivarium
