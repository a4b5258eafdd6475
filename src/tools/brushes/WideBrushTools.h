#pragma once
// Wide brushes in four sizes: one brush on the flat-brush scene whose head is a flat W x 12 x 3
// model (no bristles, no descriptor record), laying broad strokes through a chain of its own. It
// paints wet and presses with the stylus force like every brush and places its working window as
// the brushes do, but has no dial and keeps the stylus altitudes as they are. The four sizes
// differ in their type and viewer scale alone.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Only the four sizes can be made.

#include <memory>

#include "tools/brushes/AbstractBrushTool.h"

namespace tessivarium {

class AbstractWideBrushTool : public AbstractBrushTool {
 public:
  // Once: the pipelines of the wide paint, pickup and fill passes (shared by the four sizes), then
  // the brush family's and the engine's.
  void initialize() override;
  // None: switching a wide brush in leaves the dial as another tool set it.
  std::shared_ptr<ToolController> createController() override { return nullptr; }
  // A DAEWideBrushSurface.
  std::shared_ptr<ToolSurface> createToolSurface() override;

 protected:
  using AbstractBrushTool::AbstractBrushTool;
  // A WideBrushToolViewer of the scene "FlatBrush" at `scale`.
  std::shared_ptr<ToolViewer> makeViewer(float scale);
};

class SmallWideBrushTool final : public AbstractWideBrushTool {
 public:
  SmallWideBrushTool() : AbstractWideBrushTool(ToolType::smallWideBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class WideBrushTool final : public AbstractWideBrushTool {
 public:
  WideBrushTool() : AbstractWideBrushTool(ToolType::wideBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class BigWideBrushTool final : public AbstractWideBrushTool {
 public:
  BigWideBrushTool() : AbstractWideBrushTool(ToolType::bigWideBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class ExtraWideBrushTool final : public AbstractWideBrushTool {
 public:
  ExtraWideBrushTool() : AbstractWideBrushTool(ToolType::extraWideBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

}  // namespace tessivarium
