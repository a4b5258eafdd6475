#pragma once
// The paint roller.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class RollerTool : public AbstractDrawingTool {
 public:
  RollerTool() : AbstractDrawingTool(ToolType::roller) {}
};

}  // namespace tessivarium
