#pragma once
// The round brush's stroke surface: the tool framework's surface (not the tool-model one: the
// brush has no head, so no head painting and no height view) running DAERoundPainting at every
// step, whatever the debug switches say. Its uploaded altitudes are lowered by the brush
// watermark, as every brush's are. Main thread only.

#include "tools/ToolSurface.h"

namespace tessivarium {

class RoundBrushToolSurface final : public ToolSurface {
 public:
  // Step one of the construction, with the pass list in place; ToolSurface::make also takes the
  // first batch.
  explicit RoundBrushToolSurface(AbstractDrawingTool& tool);

  // Every altitude a becomes max((a - BrushAltitude_WaterMark) x BrushAltitude_WaterMark_Ratio, 0).
  void adjustInput() override;
};

}  // namespace tessivarium
