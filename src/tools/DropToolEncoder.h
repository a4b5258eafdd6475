#pragma once
// The base of the drop tools' paint passes. Its binding step gives the kernel the current tool's
// colour (BUFFER_COLOR), the step's samples (BUFFER_POSITION_NUMBER, BUFFER_POSITION, BUFFER_FORCE,
// BUFFER_ALTITUDE, BUFFER_AZIMUTH), the ground and the working textures, the canvas's mask with the
// window's offset when the canvas has one, and sizes a 2-D grid over gridTexture0. It binds no
// descriptor and no head: a drop tool has none. The concrete passes name their kernel. Main thread
// only.

#include <string>

#include "tools/AbstractDAEPaintingEncoder.h"

namespace tessivarium {

class DropToolEncoder : public AbstractDAEPaintingEncoder {
 public:
  // A current tool whose stroke surface is not a DropSurface is a fatal stop.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

 protected:
  DropToolEncoder(std::string shaderName, PrepareStep prepare);
};

}  // namespace tessivarium
