#pragma once
// The base of the tool-model tools that work the paint already on the canvas instead of carrying
// paint of their own: the sander, turpentine and the fluffy mop. None takes a colour, a pattern, a
// clean or a reset, and none has a dial; the preview grows and shrinks with the press. The first
// initialisation builds the pipelines of the tool's blur and paint passes, in that order, ahead of
// the first stroke. Each tool brings its viewer and its stroke surface. Main thread only.

#include <memory>

#include "tools/AbstractDAEDrawingTool.h"

namespace tessivarium {

class AbstractDAEWorkingTool : public AbstractDAEDrawingTool {
 public:
  void initialize() override;
  // No dial: switching the tool in leaves the shared dial as it is.
  std::shared_ptr<ToolController> createController() override { return nullptr; }

 protected:
  explicit AbstractDAEWorkingTool(ToolType type);
};

}  // namespace tessivarium
