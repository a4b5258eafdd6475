#pragma once
// The stroke surface of the wide brushes: the tool-model surface with DAEWidePainting as its step
// (and the debug height view while DEBUG_DAE_KNIFE asks for it). It keeps the stylus altitudes as
// they come: no brush watermark. Main thread only.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class DAEWideBrushSurface final : public DAEToolSurface {
 public:
  // Step one of the construction; ToolSurface::make<DAEWideBrushSurface> also takes the first batch.
  explicit DAEWideBrushSurface(AbstractDrawingTool& tool);
};

}  // namespace tessivarium
