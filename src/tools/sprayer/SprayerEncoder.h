#pragma once
// The sprayer's paint pass on the kernel "DAESprayer_paint". Its bindings come with the drop tools;
// until then its fill stops with "not built yet". The pass registry builds its pipeline at start-up.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

class SprayerEncoder : public AbstractToolEncoderShader {
 public:
  explicit SprayerEncoder(PrepareStep prepare = noPreparation());

  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
