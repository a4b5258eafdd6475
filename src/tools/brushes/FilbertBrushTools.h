#pragma once
// Filbert brushes in three sizes: a flat head with a rounded tip. The normal filbert brush is
// the engine's first tool.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Only the three sizes can be made.

#include <memory>
#include <vector>

#include "tools/brushes/AbstractBrushTool.h"

namespace tessivarium {

// The family: its bristle initialiser ("DAEToolModel_brush_filbert") lays the head's bristles after
// the reset, and its pipeline is built first.
class AbstractFilbertBrushTool : public AbstractBrushTool {
 public:
  void initialize() override;
  // The brush's reset, then the family's bristles; nothing while the tool has no head.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;

 protected:
  using AbstractBrushTool::AbstractBrushTool;
  // A BrushToolViewer of the scene "FilbertBrush" at `scale`.
  std::shared_ptr<ToolViewer> makeViewer(float scale) { return makeBrushViewer("FilbertBrush", scale); }
};

class SmallFilbertBrushTool final : public AbstractFilbertBrushTool {
 public:
  SmallFilbertBrushTool() : AbstractFilbertBrushTool(ToolType::smallFilbertBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class FilbertBrushTool final : public AbstractFilbertBrushTool {
 public:
  FilbertBrushTool() : AbstractFilbertBrushTool(ToolType::filbertBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class BigFilbertBrushTool final : public AbstractFilbertBrushTool {
 public:
  BigFilbertBrushTool() : AbstractFilbertBrushTool(ToolType::bigFilbertBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

}  // namespace tessivarium
