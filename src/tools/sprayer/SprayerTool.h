#pragma once
// The sprayer: it sprays wet paint of its colour around the stroke. Its samples are made denser
// first, so that no step between neighbours (the last sample of the previous frame included) is
// longer than 11 points. It is not in the application manager's tool registry.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it. Main thread only.

#include <memory>

#include "tools/AbstractDropTool.h"

namespace tessivarium {

class SprayerTool final : public AbstractDropTool {
 public:
  SprayerTool() : AbstractDropTool(ToolType::sprayer) {}

  std::shared_ptr<ToolViewer> createToolViewer() override;
  // A SprayerSurface of the pending samples and the tool's colour.
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
