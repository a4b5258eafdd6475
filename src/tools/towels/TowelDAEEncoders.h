#pragma once
// The towel's tool-model passes, each made once by the registry (DAEEncoders) and shared.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "DAEToolModel_towel_paint": the paint pass's bindings, and the working gridTexture0 once more at
// TEXTURE_GRID_ORIGINAL_WRITE.
class DAETowelPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAETowelPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_towel_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_towel_map_paint": binds only four working textures (gridTexture1 and wetTexture1
// to read, gridTexture0 and wetTexture0 to write; 2-D over wetTexture1) and no head. The towel
// builds its pipeline when it initialises; no pass list runs it.
class DAETowelMapPaint final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAETowelMapPaint(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_towel_map_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "Towel_blur_image".
class TowelModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit TowelModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Towel_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
