#pragma once
// The sander, which grinds dry paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class SanderTool : public AbstractDrawingTool {
 public:
  SanderTool() : AbstractDrawingTool(ToolType::sander) {}
};

}  // namespace tessivarium
