#pragma once
// Turpentine, which thins wet paint and wets it again along its path: a working tool (no colour,
// pattern, clean, reset or dial; the preview sized by the press) with the scene "Turpentine" at
// scale 0.1, whose strokes run DAEPainting with turpentine's paint and blur passes.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>

#include "tools/AbstractDAEWorkingTool.h"

namespace tessivarium {

class TurpentineTool final : public AbstractDAEWorkingTool {
 public:
  TurpentineTool() : AbstractDAEWorkingTool(ToolType::turpentine) {}

  std::shared_ptr<ToolViewer> createToolViewer() override;
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
