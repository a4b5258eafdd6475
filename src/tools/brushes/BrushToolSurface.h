#pragma once
// The stroke surface of the flat, fan and filbert brushes: the tool-model surface, whose uploaded
// altitudes are lowered by the brush watermark, so that a stylus held at 30 degrees or flatter
// reaches the kernels as 0 (the brush lying on the canvas). Main thread only.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class BrushToolSurface : public DAEToolSurface {
 public:
  // Step one of the construction; ToolSurface::make<BrushToolSurface> also takes the first batch.
  explicit BrushToolSurface(AbstractDrawingTool& tool) : DAEToolSurface(tool) {}

  // Every altitude a becomes max((a - BrushAltitude_WaterMark) x BrushAltitude_WaterMark_Ratio, 0)
  // in single precision; nothing else of the samples changes.
  void adjustInput() override;
};

// An altitude as a brush surface uploads it.
float brushAltitude(float altitude);

}  // namespace tessivarium
