#pragma once
// The paint roller: a tool-model tool that rolls the wet paint it meets into an even band. It is
// never loaded by hand: it cannot take a colour, be cleaned or reset, or save or pick a pattern;
// it has no dial, and its preview grows with the stylus pressure. Its stroke steps are the
// tool-model chain with its own paint pass ("Roller_paint").
//
// Constructing a tool records its state only: the application manager makes some tools while it
// starts, before it exists, so no constructor may reach it.

#include <memory>

#include "tools/AbstractDAEDrawingTool.h"

namespace tessivarium {

class RollerTool final : public AbstractDAEDrawingTool {
 public:
  RollerTool();

  // Once: builds the "Roller_paint" pipeline, then the base initialisation.
  void initialize() override;
  // None: the roller has no dial, so switching it in leaves the dial as it is.
  std::shared_ptr<ToolController> createController() override { return nullptr; }
  // The roller's viewer on the scene "Roller", at scale 0.1.
  std::shared_ptr<ToolViewer> createToolViewer() override;
  // A roller surface for the pending samples.
  std::shared_ptr<ToolSurface> createToolSurface() override;
};

}  // namespace tessivarium
