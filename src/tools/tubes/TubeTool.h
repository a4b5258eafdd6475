#pragma once
// The paint tube, which drops paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class TubeTool : public AbstractDrawingTool {
 public:
  TubeTool() : AbstractDrawingTool(ToolType::tube) {}
};

}  // namespace tessivarium
