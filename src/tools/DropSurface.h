#pragma once
// The stroke surface of a drop tool: the tool framework's surface, plus the tool's colour as the
// 16-byte record its paint kernel reads at BUFFER_COLOR, rebuilt from the colour given with every
// batch. A concrete drop surface holds its painting composite in initEncoders. Main thread only.

#include <memory>

#include "graphics/Color.h"
#include "tools/ToolSurface.h"

namespace gpu {
class Buffer;
}

namespace tessivarium {

class DropSurface : public ToolSurface {
 public:
  // Step one of the construction; make() takes the first batch with its colour.
  using ToolSurface::ToolSurface;

  // Both steps: constructs Surface(tool), then takes `touchInputs` as its first batch with `color`.
  template <class Surface>
  static std::shared_ptr<Surface> make(AbstractDrawingTool& tool, const TouchInputs& touchInputs,
                                       const graphics::Color& color) {
    auto surface = std::make_shared<Surface>(tool);
    surface->reset(touchInputs, color);
    return surface;
  }

  // The colour of the last batch taken; none before the first.
  const std::shared_ptr<gpu::Buffer>& colorBuffer() const { return colorBuffer_; }

  using ToolSurface::reset;
  // Takes the batch as the tool framework does (the surface's spacing and window choice), then
  // makes the colour record of `color`.
  void reset(const TouchInputs& touchInputs, const graphics::Color& color);

 private:
  std::shared_ptr<gpu::Buffer> colorBuffer_;
};

}  // namespace tessivarium
