#include "tools/DAEToolDescriptorWrapper.h"

#include <cmath>
#include <string>

#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/NumberText.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "utils/MetalUtil.h"

namespace tessivarium {
namespace {

std::string describe(const gpu::float3& v) {
  return "SIMD3<Float>(" + foundation::describe(v.x) + ", " + foundation::describe(v.y) + ", " +
         foundation::describe(v.z) + ")";
}

std::string describe(float v) { return foundation::describe(v); }

// Exact IEEE comparison: a NaN lane is never the same.
bool isSame(const gpu::float3& value, const SCNVector3& descriptor) {
  return value.x == descriptor.x && value.y == descriptor.y && value.z == descriptor.z;
}
bool isSame(float value, float descriptor) { return value == descriptor; }

}  // namespace

DAEToolDescriptorWrapper::DAEToolDescriptorWrapper(ToolType toolType, SCNVector3 origin, SCNVector3 headTop,
                                                   SCNVector3 headLeft, SCNVector3 headRight, SCNVector3 left,
                                                   SCNVector3 right, SCNVector3 top, SCNVector3 down,
                                                   SCNVector3 headCenter, float headRadius, float rotation,
                                                   float scale)
    : toolType_(toolType),
      origin_(origin),
      headTop_(headTop),
      headLeft_(headLeft),
      headRight_(headRight),
      left_(left),
      right_(right),
      top_(top),
      down_(down),
      headCenter_(headCenter),
      headRadius_(headRadius),
      rotation_(rotation),
      scale_(scale) {}

DAEToolDescriptor DAEToolDescriptorWrapper::getDescriptor(DrawingPaint& paint, std::int32_t touchCount,
                                                          const TouchInputData& touchInputData,
                                                          std::int32_t) const {
  const auto tool = paint.drawingTool();
  // The palette test comes first: the wet flags are read only on the main canvas.
  const bool mainCanvas = !AppManager().isPalette(paint);
  const std::int32_t drawingMode = mainCanvas && !(tool->canWetDrawing() && tool->wetDrawing()) ? 1 : 0;
  DAEToolDescriptor descriptor(toolType_, tool->thickness(), drawingMode, SceneVector3ToFloat3(origin_),
                               SceneVector3ToFloat3(headTop_), SceneVector3ToFloat3(headLeft_),
                               SceneVector3ToFloat3(headRight_), SceneVector3ToFloat3(left_),
                               SceneVector3ToFloat3(right_), SceneVector3ToFloat3(top_), SceneVector3ToFloat3(down_),
                               SceneVector3ToFloat3(headCenter_), headRadius_, rotation_, scale_, touchCount);
  descriptor.updateRotation(touchInputData);
  printDescriptor(descriptor, true);
  return descriptor;
}

void DAEToolDescriptorWrapper::printDescriptor(const DAEToolDescriptor& descriptor, bool checking) const {
  const auto trace = [checking](const char* label, const auto& value, const auto& own) {
    if (!checking || !isSame(value, own)) foundation::consoleLine(label + describe(value) + " " + describe(own));
  };
  trace("origin: ", descriptor.origin, origin_);
  trace("headTop: ", descriptor.headTop, headTop_);
  trace("headLeft: ", descriptor.headLeft, headLeft_);
  trace("headRight: ", descriptor.headRight, headRight_);
  trace("headCenter: ", descriptor.headCenter, headCenter_);
  trace("headRadius: ", descriptor.headRadius, headRadius_);
  trace("rotation: ", descriptor.rotation, rotation_);
  trace("scale: ", descriptor.scale, scale_);
  trace("left: ", descriptor.left, left_);
  trace("right: ", descriptor.right, right_);
  trace("top: ", descriptor.top, top_);
  trace("down: ", descriptor.down, down_);
}

SCNVector3 DAEToolDescriptorWrapper::rotation(const SCNVector3& vector, float angle) const {
  const float s = std::sin(angle), c = std::cos(angle);
  return {vector.x * c - vector.y * s, vector.x * s + vector.y * c, vector.z};
}

}  // namespace tessivarium
