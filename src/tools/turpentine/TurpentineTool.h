#pragma once
// Turpentine, which thins paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class TurpentineTool : public AbstractDrawingTool {
 public:
  TurpentineTool() : AbstractDrawingTool(ToolType::turpentine) {}
};

}  // namespace tessivarium
