#pragma once
// Fan brushes in three sizes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class FanBrushTool : public AbstractDrawingTool {
 public:
  FanBrushTool() : AbstractDrawingTool(ToolType::fanBrush) {}
};

class BigFanBrushTool : public AbstractDrawingTool {
 public:
  BigFanBrushTool() : AbstractDrawingTool(ToolType::bigFanBrush) {}
};

class SmallFanBrushTool : public AbstractDrawingTool {
 public:
  SmallFanBrushTool() : AbstractDrawingTool(ToolType::smallFanBrush) {}
};

}  // namespace tessivarium
