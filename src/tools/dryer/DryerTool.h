#pragma once
// The dryer, which dries paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class DryerTool : public AbstractDrawingTool {
 public:
  DryerTool() : AbstractDrawingTool(ToolType::dryer) {}
};

}  // namespace tessivarium
