#pragma once
// The towel, which wipes paint off.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class TowelTool : public AbstractDrawingTool {
 public:
  TowelTool() : AbstractDrawingTool(ToolType::towel) {}
};

}  // namespace tessivarium
