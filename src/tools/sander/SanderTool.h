#pragma once
// The sander, which grinds dry paint down along its path: a working tool (no colour, pattern,
// clean, reset or dial; the preview sized by the press) with the scene "Sander" at scale 0.1. Its
// strokes run DAESanderPainting. It is made through its manager property only and is not in the
// manager's tool registry.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>

#include "tools/AbstractDAEWorkingTool.h"

namespace tessivarium {

class SanderTool final : public AbstractDAEWorkingTool {
 public:
  SanderTool() : AbstractDAEWorkingTool(ToolType::sander) {}

  std::shared_ptr<ToolViewer> createToolViewer() override;
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
