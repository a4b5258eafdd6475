#include "tools/DropSurface.h"

#include "utils/MetalUtil.h"

namespace tessivarium {

void DropSurface::reset(const TouchInputs& touchInputs, const graphics::Color& color) {
  ToolSurface::reset(touchInputs);
  colorBuffer_ = makeBuffer(color);
}

}  // namespace tessivarium
