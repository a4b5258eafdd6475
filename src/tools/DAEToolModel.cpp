#include "tools/DAEToolModel.h"

#include "foundation/Fatal.h"

namespace tessivarium {
namespace {

std::shared_ptr<DAEToolDescriptorWrapper> required(std::shared_ptr<DAEToolDescriptorWrapper> descriptor) {
  if (!descriptor) foundation::fatalError("DAEToolModel: a tool model needs its descriptor");
  return descriptor;
}

}  // namespace

DAEToolModel::DAEToolModel(DefaultToolViewer& toolViewer, std::int64_t width, std::int64_t height,
                           std::int64_t depth, std::shared_ptr<DAEToolDescriptorWrapper> descriptor)
    : ToolModel(toolViewer, width, height, depth), descriptor_(required(std::move(descriptor))) {}

DAEToolDescriptor DAEToolModel::descriptorRecord(DrawingPaint& paint, std::int32_t touchCount,
                                                 const TouchInputData& touchInputData, std::int32_t mode) {
  return descriptor_->getDescriptor(paint, touchCount, touchInputData, mode);
}

void DAEToolModel::setDescriptor(std::shared_ptr<DAEToolDescriptorWrapper> descriptor) {
  descriptor_ = required(std::move(descriptor));
}

}  // namespace tessivarium
