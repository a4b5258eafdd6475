#pragma once
// Fan brushes in three sizes: bristles spread out from the ferrule.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Only the three sizes can be made.

#include <memory>
#include <vector>

#include "tools/brushes/AbstractBrushTool.h"

namespace tessivarium {

// The family: its bristle initialiser ("DAEToolModel_brush_fan") lays the head's bristles after
// the reset, and its pipeline is built first.
class AbstractFanBrushTool : public AbstractBrushTool {
 public:
  void initialize() override;
  // The brush's reset, then the family's bristles; nothing while the tool has no head.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;

 protected:
  using AbstractBrushTool::AbstractBrushTool;
  // A BrushToolViewer of the scene "FanBrush" at `scale`.
  std::shared_ptr<ToolViewer> makeViewer(float scale) { return makeBrushViewer("FanBrush", scale); }
};

class SmallFanBrushTool final : public AbstractFanBrushTool {
 public:
  SmallFanBrushTool() : AbstractFanBrushTool(ToolType::smallFanBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class FanBrushTool final : public AbstractFanBrushTool {
 public:
  FanBrushTool() : AbstractFanBrushTool(ToolType::fanBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

class BigFanBrushTool final : public AbstractFanBrushTool {
 public:
  BigFanBrushTool() : AbstractFanBrushTool(ToolType::bigFanBrush) {}
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

}  // namespace tessivarium
