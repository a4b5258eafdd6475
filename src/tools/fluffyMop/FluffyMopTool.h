#pragma once
// The fluffy mop, which softens wet paint along its path: a working tool (no colour, pattern,
// clean, reset or dial; the preview sized by the press) with the scene "FluffyMop" at scale 0.1,
// whose strokes run DAEPainting with the mop's paint and blur passes.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>

#include "tools/AbstractDAEWorkingTool.h"

namespace tessivarium {

class FluffyMopTool final : public AbstractDAEWorkingTool {
 public:
  FluffyMopTool() : AbstractDAEWorkingTool(ToolType::fluffyMop) {}

  std::shared_ptr<ToolViewer> createToolViewer() override;
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
