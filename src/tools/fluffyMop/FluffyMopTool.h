#pragma once
// The fluffy mop, which softens paint.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class FluffyMopTool : public AbstractDrawingTool {
 public:
  FluffyMopTool() : AbstractDrawingTool(ToolType::fluffyMop) {}
};

}  // namespace tessivarium
