#pragma once
// The stroke surface of the tools that paint through a tool model. It keeps the base's sample
// upload and window cycle; what it adds is its pass list: every stroke step runs a new painting
// composite made for its tool (DAEPainting, or the one a tool family brings), followed, while the
// engine's debug switch asks for the height view (Height, the starting value, or Complete), by the
// debug height view. The per-step and closing lists stay empty. The surfaces of the brushes,
// knives, roller, towel, sander, turpentine and fluffy mop start from it. Main thread only.

#include <memory>

#include "tools/ToolSurface.h"

namespace tessivarium {

class DAEToolSurface : public ToolSurface {
 public:
  // Step one of the construction, with the pass list in place; ToolSurface::make<DAEToolSurface>
  // also takes the first batch.
  explicit DAEToolSurface(AbstractDrawingTool& tool);

 protected:
  // The same with `painting` as the step's composite in place of DAEPainting.
  DAEToolSurface(AbstractDrawingTool& tool, std::shared_ptr<ToolEncoder> painting);
};

}  // namespace tessivarium
