#pragma once
// The towel, which wipes wet paint off the canvas into its head. The stylus counts as lying flat
// (every altitude is taken as 0), the towel has no dial, and it can be cleaned but not reset,
// filled with a colour or saved as a pattern. Its scene is "towel" at scale 1.0; its strokes run
// DAEPainting with the towel's paint and blur passes.
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>

#include "tools/AbstractDAEDrawingTool.h"

namespace tessivarium {

class AbstractTowelTool : public AbstractDAEDrawingTool {
 public:
  // No dial: switching the towel in leaves the shared dial as it is.
  std::shared_ptr<ToolController> createController() override { return nullptr; }
  std::shared_ptr<ToolSurface> createToolSurface() override;

 protected:
  explicit AbstractTowelTool(ToolType type) : AbstractDAEDrawingTool(type) {}
};

class TowelTool final : public AbstractTowelTool {
 public:
  TowelTool();

  // Once: the pipelines of the towel's blur, paint and map passes, then the shared ones.
  void initialize() override;
  std::shared_ptr<ToolViewer> createToolViewer() override;
};

}  // namespace tessivarium
