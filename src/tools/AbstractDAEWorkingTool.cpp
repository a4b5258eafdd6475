#include "tools/AbstractDAEWorkingTool.h"

#include "tools/AbstractShaderUnit.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

AbstractDAEWorkingTool::AbstractDAEWorkingTool(ToolType type) : AbstractDAEDrawingTool(type) {
  setCanClean(false);
  setCanReset(false);
  setCanSavePattern(false);
  setResizableOnPressure(true);
  setHasColorPattern(false);
  setCanFillColor(false);
}

void AbstractDAEWorkingTool::initialize() {
  if (initialized()) return;
  DAEEncoders().getTextureBlur(toolType())->shaderPipelineState();
  DAEEncoders().getPaintEncoder(toolType())->shaderPipelineState();
  AbstractDAEDrawingTool::initialize();
}

}  // namespace tessivarium
