#pragma once
// Wide brushes in four sizes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class WideBrushTool : public AbstractDrawingTool {
 public:
  WideBrushTool() : AbstractDrawingTool(ToolType::wideBrush) {}
};

class BigWideBrushTool : public AbstractDrawingTool {
 public:
  BigWideBrushTool() : AbstractDrawingTool(ToolType::bigWideBrush) {}
};

class SmallWideBrushTool : public AbstractDrawingTool {
 public:
  SmallWideBrushTool() : AbstractDrawingTool(ToolType::smallWideBrush) {}
};

class ExtraWideBrushTool : public AbstractDrawingTool {
 public:
  ExtraWideBrushTool() : AbstractDrawingTool(ToolType::extraWideBrush) {}
};

}  // namespace tessivarium
