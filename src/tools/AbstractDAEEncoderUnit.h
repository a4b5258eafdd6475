#pragma once
// The base of every pass that works on the current tool's head. Its binding step hands the kernel
// the head's descriptor record at BUFFER_DAE_DESCRIPTOR, the head's current pattern
// (colorTexture0) at TEXTURE_TOOL_READ and the other working copy (colorTexture1) at
// TEXTURE_TOOL_WRITE, then exchanges the two, so the next such pass reads what this one writes:
// the order in which passes are recorded is the order of the chain.
//
// The record is built once, on the first binding with an empty descriptorBuffer for a tool whose
// model carries a measured head, and bound as it is from then on, whatever the tool has done
// since, until someone stores another buffer or clears it (composites store a fresh one before
// each run; the registry clears it on some hand-outs). A plain tool model gets no record: slot 12
// stays unbound, the head textures are still bound and exchanged. Main thread only.

#include <memory>
#include <string>

#include "tools/AbstractShaderUnit.h"

namespace gpu {
class Buffer;
}

namespace tessivarium {

class ToolModel;

class AbstractDAEEncoderUnit : public AbstractToolEncoderShader {
 public:
  const std::shared_ptr<gpu::Buffer>& descriptorBuffer() const { return descriptorBuffer_; }
  void setDescriptorBuffer(std::shared_ptr<gpu::Buffer> buffer) { descriptorBuffer_ = std::move(buffer); }

  // A current tool without a tool model is a fatal stop.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  AbstractDAEEncoderUnit(std::string shaderName, PrepareStep prepare);

 private:
  std::shared_ptr<gpu::Buffer> descriptorBuffer_;
};

// The tool model of the current tool's surface; none is a fatal stop naming `who`.
ToolModel& currentToolModel(DrawingPaint& paint, const char* who);

// A new 180-byte buffer of the current tool's descriptor record, or none when its model is a
// plain tool model.
std::shared_ptr<gpu::Buffer> makeDescriptorBuffer(DrawingPaint& paint, ToolModel& model);

}  // namespace tessivarium
