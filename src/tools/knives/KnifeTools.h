#pragma once
// The six painting knives.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class Knife1Tool : public AbstractDrawingTool {
 public:
  Knife1Tool() : AbstractDrawingTool(ToolType::knife1) {}
};

class Knife2Tool : public AbstractDrawingTool {
 public:
  Knife2Tool() : AbstractDrawingTool(ToolType::knife2) {}
};

class Knife3Tool : public AbstractDrawingTool {
 public:
  Knife3Tool() : AbstractDrawingTool(ToolType::knife3) {}
};

class Knife4Tool : public AbstractDrawingTool {
 public:
  Knife4Tool() : AbstractDrawingTool(ToolType::knife4) {}
};

class Knife5Tool : public AbstractDrawingTool {
 public:
  Knife5Tool() : AbstractDrawingTool(ToolType::knife5) {}
};

class Knife6Tool : public AbstractDrawingTool {
 public:
  Knife6Tool() : AbstractDrawingTool(ToolType::knife6) {}
};

}  // namespace tessivarium
