#pragma once
// The debug view of the current tool's head: the height pass, then the height picture drawn into
// the current layer. While DEBUG_DAE_KNIFE is Complete when it is made, the registry's render runs
// too, so the picture is drawn twice. Main thread only.

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DrawingPaint;

class DAEPaintingShow final : public CompositeEncoderUnit {
 public:
  explicit DAEPaintingShow(PrepareStep prepare = noPreparation());

  // Whether `paint`'s current tool has a head whose heights the view can show: the height pass
  // stops on a tool without one (the round brush, the drop tools, the dryer and the wetter).
  static bool hasHeadToShow(DrawingPaint& paint);
};

}  // namespace tessivarium
