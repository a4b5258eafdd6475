#pragma once
// The round bristle brush.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class RoundBrushTool : public AbstractDrawingTool {
 public:
  RoundBrushTool() : AbstractDrawingTool(ToolType::roundBrush) {}
};

}  // namespace tessivarium
