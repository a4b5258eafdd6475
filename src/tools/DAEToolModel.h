#pragma once
// The tool model of a tool with a measured head: the head's textures (ToolModel) and the geometry
// the tool-model kernels read, which the model owns. There is no model without that geometry.

#include <memory>

#include "tools/DAEToolDescriptorWrapper.h"
#include "tools/ToolModel.h"

namespace tessivarium {

class DAEToolModel : public ToolModel {
 public:
  // The model of `toolViewer`'s head, width x height x depth cells, with its geometry.
  DAEToolModel(DefaultToolViewer& toolViewer, std::int64_t width, std::int64_t height, std::int64_t depth,
               std::shared_ptr<DAEToolDescriptorWrapper> descriptor);

  const std::shared_ptr<DAEToolDescriptorWrapper>& descriptor() const { return descriptor_; }
  void setDescriptor(std::shared_ptr<DAEToolDescriptorWrapper> descriptor);

 private:
  std::shared_ptr<DAEToolDescriptorWrapper> descriptor_;
};

}  // namespace tessivarium
