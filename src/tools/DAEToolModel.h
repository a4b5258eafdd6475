#pragma once
// The tool model of a tool with a measured head: the head's textures (ToolModel) and the geometry
// the tool-model kernels read, which the model owns. There is no model without that geometry. The
// tool-model passes reach the geometry as a descriptor source.

#include <memory>

#include "tools/DAEPassInputs.h"
#include "tools/DAEToolDescriptorWrapper.h"
#include "tools/ToolModel.h"

namespace tessivarium {

class DAEToolModel : public ToolModel, public DAEDescriptorSource {
 public:
  // The model of `toolViewer`'s head, width x height x depth cells, with its geometry.
  DAEToolModel(DefaultToolViewer& toolViewer, std::int64_t width, std::int64_t height, std::int64_t depth,
               std::shared_ptr<DAEToolDescriptorWrapper> descriptor);

  const std::shared_ptr<DAEToolDescriptorWrapper>& descriptor() const { return descriptor_; }
  void setDescriptor(std::shared_ptr<DAEToolDescriptorWrapper> descriptor);

  // The descriptor's record for one pass, and its rotation.
  DAEToolDescriptor descriptorRecord(DrawingPaint& paint, std::int32_t touchCount, const TouchInputData& touchInputData,
                                     std::int32_t mode) override;
  float descriptorRotation() const override { return descriptor_->rotation(); }
  void setDescriptorRotation(float rotation) override { descriptor_->setRotation(rotation); }

 private:
  std::shared_ptr<DAEToolDescriptorWrapper> descriptor_;
};

}  // namespace tessivarium
