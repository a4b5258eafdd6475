#pragma once
// The paint tube's paint pass on the kernel "mac_add_sphere". Its bindings come with the drop tools;
// until then its fill stops with "not built yet". The pass registry builds its pipeline at start-up.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class MacAddSphere : public AbstractToolEncoderShader {
 public:
  explicit MacAddSphere(PrepareStep prepare = noPreparation());

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
