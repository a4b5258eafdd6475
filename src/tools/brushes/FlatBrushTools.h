#pragma once
// Flat brushes in three sizes: a square head of straight bristles.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Only the three sizes can be made.

#include <memory>
#include <vector>

#include "tools/brushes/AbstractBrushTool.h"

namespace tessivarium {

// The family: its bristle initialiser ("DAEToolModel_brush_flat") lays the head's bristles after
// the reset, and its pipeline is built first.
class AbstractFlatBrushTool : public AbstractBrushTool {
 public:
  void initialize() override;
  // The brush's reset, then the family's bristles; nothing while the tool has no head.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;

 protected:
  using AbstractBrushTool::AbstractBrushTool;
  // A BrushToolViewer of the scene "FlatBrush" at `scale`.
  std::shared_ptr<ToolViewer> makeViewer(float scale) { return makeBrushViewer("FlatBrush", scale); }
};

class SmallFlatBrushTool final : public AbstractFlatBrushTool {
 public:
  SmallFlatBrushTool() : AbstractFlatBrushTool(ToolType::smallFlatBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class FlatBrushTool final : public AbstractFlatBrushTool {
 public:
  FlatBrushTool() : AbstractFlatBrushTool(ToolType::flatBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class BigFlatBrushTool final : public AbstractFlatBrushTool {
 public:
  BigFlatBrushTool() : AbstractFlatBrushTool(ToolType::bigFlatBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

}  // namespace tessivarium
