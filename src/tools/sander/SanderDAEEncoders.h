#pragma once
// The sander's tool-model passes, each made once by the registry (DAEEncoders) and shared. Both
// work on the working dry texture and use the shared renderingTexture as the step's map of the
// sanded cells.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "Sander_paint": the paint pass's bindings, then renderingTexture at TEXTURE_MAP_WRITE and
// TEXTURE_MAP_READ.
class DAESanderPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAESanderPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Sander_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "Sander_blur_image": the blur's bindings, then dryTexture0 at both TEXTURE_DRY_READ and
// TEXTURE_DRY_WRITE, renderingTexture at TEXTURE_MAP_READ in place of gridTexture1, and a new
// 4-byte buffer of `thickness` at BUFFER_THICKNESS.
class SanderModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit SanderModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Sander_blur_image", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;

  // How far, in thickness bytes, a sanded cell may stand above its lowest neighbour.
  float thickness() const { return thickness_; }
  void setThickness(float thickness) { thickness_ = thickness; }

 private:
  float thickness_ = 7.0f;
};

}  // namespace tessivarium
