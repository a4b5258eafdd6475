#pragma once
// The sprayer, which sprays paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class SprayerTool : public AbstractDrawingTool {
 public:
  SprayerTool() : AbstractDrawingTool(ToolType::sprayer) {}
};

}  // namespace tessivarium
