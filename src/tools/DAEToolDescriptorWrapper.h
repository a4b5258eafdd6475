#pragma once
// The geometry of a tool head as measured once from its scene, kept on the CPU side, and the
// record every tool-model pass hands its kernels, built afresh from it for each pass with what
// changes per stroke: the current tool's thickness, the drawing mode and the samples painted so
// far. Only the rotation (the dial's angle) and the scale change after construction. Main thread
// only.

#include <cstdint>

#include "tools/ToolModelKernelRecords.h"
#include "tools/ToolType.h"
#include "utils/SceneKitUtil.h"

namespace tessivarium {

class DrawingPaint;
class TouchInputData;

class DAEToolDescriptorWrapper {
 public:
  // Stores each value unchanged; the points are in model cells, as the tool viewer measured them.
  DAEToolDescriptorWrapper(ToolType toolType, SCNVector3 origin, SCNVector3 headTop, SCNVector3 headLeft,
                           SCNVector3 headRight, SCNVector3 left, SCNVector3 right, SCNVector3 top,
                           SCNVector3 down, SCNVector3 headCenter, float headRadius, float rotation, float scale);

  ToolType toolType() const { return toolType_; }
  const SCNVector3& origin() const { return origin_; }
  const SCNVector3& headTop() const { return headTop_; }
  const SCNVector3& headLeft() const { return headLeft_; }
  const SCNVector3& headRight() const { return headRight_; }
  const SCNVector3& left() const { return left_; }
  const SCNVector3& right() const { return right_; }
  const SCNVector3& top() const { return top_; }
  const SCNVector3& down() const { return down_; }
  const SCNVector3& headCenter() const { return headCenter_; }
  float headRadius() const { return headRadius_; }
  // Radians.
  float rotation() const { return rotation_; }
  void setRotation(float rotation) { rotation_ = rotation; }
  float scale() const { return scale_; }
  void setScale(float scale) { scale_ = scale; }

  // The record for one pass on `paint`, whose current tool gives the thickness and the wet flags.
  // Its mode is 1 on the main canvas while the tool does not paint wet, else 0; the `mode`
  // argument does not enter it. Each record is traced through printDescriptor().
  DAEToolDescriptor getDescriptor(DrawingPaint& paint, std::int32_t touchCount, const TouchInputData& touchInputData,
                                  std::int32_t mode = 0) const;

  // Prints "<label><record value> <own value>" for each field whose record value differs from
  // this wrapper's (exact comparison, so only NaN fields print), or for every field when not
  // `checking`.
  void printDescriptor(const DAEToolDescriptor& descriptor, bool checking = true) const;

  // `vector` turned about z by `angle` radians, counter-clockwise in the x-y plane.
  SCNVector3 rotation(const SCNVector3& vector, float angle) const;

 private:
  ToolType toolType_;
  SCNVector3 origin_;
  SCNVector3 headTop_;
  SCNVector3 headLeft_;
  SCNVector3 headRight_;
  SCNVector3 left_;
  SCNVector3 right_;
  SCNVector3 top_;
  SCNVector3 down_;
  SCNVector3 headCenter_;
  float headRadius_;
  float rotation_;
  float scale_;
};

}  // namespace tessivarium
