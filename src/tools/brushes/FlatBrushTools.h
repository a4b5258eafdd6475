#pragma once
// Flat brushes in three sizes.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include "tools/DrawingTool.h"

namespace tessivarium {

class FlatBrushTool : public AbstractDrawingTool {
 public:
  FlatBrushTool() : AbstractDrawingTool(ToolType::flatBrush) {}
};

class BigFlatBrushTool : public AbstractDrawingTool {
 public:
  BigFlatBrushTool() : AbstractDrawingTool(ToolType::bigFlatBrush) {}
};

class SmallFlatBrushTool : public AbstractDrawingTool {
 public:
  SmallFlatBrushTool() : AbstractDrawingTool(ToolType::smallFlatBrush) {}
};

}  // namespace tessivarium
