#pragma once
// Filbert brushes in three sizes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class FilbertBrushTool : public AbstractDrawingTool {
 public:
  FilbertBrushTool() : AbstractDrawingTool(ToolType::filbertBrush) {}
};

class BigFilbertBrushTool : public AbstractDrawingTool {
 public:
  BigFilbertBrushTool() : AbstractDrawingTool(ToolType::bigFilbertBrush) {}
};

class SmallFilbertBrushTool : public AbstractDrawingTool {
 public:
  SmallFilbertBrushTool() : AbstractDrawingTool(ToolType::smallFilbertBrush) {}
};

}  // namespace tessivarium
