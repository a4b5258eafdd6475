#pragma once
// What the tool-model passes and the thick-paint tools ask of a tool model's measured head: a
// model that carries one (DAEToolModel, or a test's model) is a DAEDescriptorSource. Main thread
// only.

#include <cstdint>

#include "tools/ToolModelKernelRecords.h"
#include "tools/TouchInput.h"

namespace tessivarium {

class DrawingPaint;
class ToolModel;

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

}  // namespace tessivarium
