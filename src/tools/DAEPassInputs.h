#pragma once
// What the tool-model passes and the thick-paint tools ask of a tool model's measured head and of
// a stroke surface's window cycle, in one place. The passes reach both through these calls only:
// a model that carries a descriptor (DAEDescriptorSource) and a surface that runs the window
// cycle (StrokeSurfaceSteps) answer them; for any other surface the window calls stop with
// "ToolSurface.<member>: not built yet". Main thread only.

#include <cstdint>

#include "tools/ToolModelKernelRecords.h"
#include "tools/TouchInput.h"

namespace gpu {
class CommandBuffer;
class ComputeCommandEncoder;
}  // namespace gpu

namespace tessivarium {

class DrawingPaint;
class ToolModel;
class ToolSurface;

// A tool model with a measured head: it builds the descriptor record of the current tool and
// carries the head's rotation.
class DAEDescriptorSource {
 public:
  virtual ~DAEDescriptorSource() = default;
  virtual DAEToolDescriptor descriptorRecord(DrawingPaint& paint, std::int32_t touchCount,
                                             const TouchInputData& touchInputData, std::int32_t mode) = 0;
  virtual float descriptorRotation() const = 0;
  virtual void setDescriptorRotation(float rotation) = 0;
};

// The measured head of `model`, or none for a plain tool model.
DAEDescriptorSource* descriptorSourceOf(ToolModel& model);

// The stroke surface's window cycle.
class StrokeSurfaceSteps {
 public:
  virtual ~StrokeSurfaceSteps() = default;
  // The sample buffers of the current step at their slots.
  virtual void encodeInput(gpu::ComputeCommandEncoder& encoder) = 0;
  virtual bool isForwardDrawing(float rotation) = 0;
  virtual void encodeStart(DrawingPaint& paint, gpu::CommandBuffer& buffer) = 0;
  virtual void encodeLoop(DrawingPaint& paint, gpu::CommandBuffer& buffer) = 0;
  // The samples that did not fit the current window and wait for the next step.
  virtual TouchInputs& carriedTouchInputs() = 0;
};

void encodeInput(ToolSurface& surface, gpu::ComputeCommandEncoder& encoder);
bool isForwardDrawing(ToolSurface& surface, float rotation);
void encodeStart(ToolSurface& surface, DrawingPaint& paint, gpu::CommandBuffer& buffer);
void encodeLoop(ToolSurface& surface, DrawingPaint& paint, gpu::CommandBuffer& buffer);
TouchInputs& carriedTouchInputs(ToolSurface& surface);

}  // namespace tessivarium
