#pragma once
// The wetter, which wets dry paint again.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class WetterTool : public AbstractDrawingTool {
 public:
  WetterTool() : AbstractDrawingTool(ToolType::wetter) {}
};

}  // namespace tessivarium
