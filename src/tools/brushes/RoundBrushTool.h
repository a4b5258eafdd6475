#pragma once
// The round bristle brush: a brush without a tool model. It paints from its samples alone through
// its own stroke surface (RoundBrushToolSurface), lays no bristle pattern, and shows one bristle
// mesh built in code (SceneBrushViewer). Having no head to load, it refuses a colour fill: a pick
// reports CannotFillColor. It keeps the brushes' dial and window placement. The manager makes it
// on first use (AppManager().roundBrush()); it is not in the manager's tool list.
//
// Constructing a tool records its type only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>
#include <vector>

#include "tools/brushes/AbstractBrushTool.h"

namespace tessivarium {

class RoundBrushTool final : public AbstractBrushTool {
 public:
  RoundBrushTool();

  // Once, before the first stroke: the round brush's paint pipeline, then the brushes' ones.
  void initialize() override;
  // None: there is no head to lay.
  std::vector<std::shared_ptr<ToolEncoder>> getInitializers() override;
  // A SceneBrushViewer at scale 1.
  std::shared_ptr<ToolViewer> createToolViewer() override;
  // A RoundBrushToolSurface.
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
