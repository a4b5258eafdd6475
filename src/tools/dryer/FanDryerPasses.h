#pragma once
// The passes of the dryer and the wetter, written once: the twins' passes differ only in the
// kernel they run (DryerDAEEncoders.h, WetterDAEEncoders.h). Like everything the twins share, they
// live with the dryer, the first of the two.
//
// Both work on the main canvas's current layer, whichever canvas is painted, and both dispatch over
// that layer's whole picture. Each is made once by the DAEEncoders registry and shared.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// The init pass, run when the tool is enabled: the layer's grid, wet and dry textures, the canvas's
// colour copy (colorTexture2D) and the layer's picture; no buffer. A canvas whose colour copy could
// not be made (its creation reported NoMoreHeap) dispatches nothing, so the picture stays.
class FanDryerInitPass : public AbstractToolEncoderShader {
 public:
  using AbstractToolEncoderShader::AbstractToolEncoderShader;
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// The paint pass of a stroke step: the current tool's window offset and samples (with the sample
// the step before painted last, ToolSurface::encodePathStart), the first working
// grid, wet and dry textures and the layer's picture, each at its read and its write slot (the
// kernel works in place), and the artwork's scale, through which the kernel finds the cells under
// each picture pixel.
class FanDryerPaintPass : public AbstractToolEncoderShader {
 public:
  using AbstractToolEncoderShader::AbstractToolEncoderShader;
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
