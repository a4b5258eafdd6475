#pragma once
// A measured tool head for the engine's tests and benchmarks: a tool model of the given cells whose
// descriptor record is the one the caller sets (`record`), with the step's touch count and mode and
// the head's rotation filled in, so that a test can read back what a pass was handed.

#include <cstdint>

#include "tools/DAEPassInputs.h"
#include "tools/ToolModel.h"

namespace testsupport {

class RecordedHead : public tessivarium::ToolModel, public tessivarium::DAEDescriptorSource {
 public:
  RecordedHead(tessivarium::DefaultToolViewer& viewer, std::int64_t width, std::int64_t height, std::int64_t depth,
               tessivarium::DAEToolDescriptor record = {})
      : ToolModel(viewer, width, height, depth), record(record) {}

  tessivarium::DAEToolDescriptor descriptorRecord(tessivarium::DrawingPaint&, std::int32_t touchCount,
                                                  const tessivarium::TouchInputData&, std::int32_t mode) override {
    tessivarium::DAEToolDescriptor d = record;
    d.rotation = rotation;
    d.touchCount = touchCount;
    d.mode = mode;
    return d;
  }
  float descriptorRotation() const override { return rotation; }
  void setDescriptorRotation(float r) override { rotation = r; }
  using ToolModel::encodeHeightPreview;
  using ToolModel::encodePickup;

  tessivarium::DAEToolDescriptor record;
  float rotation = 0;
};

}  // namespace testsupport
