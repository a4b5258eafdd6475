#pragma once
// The wetter's passes (no tool model).
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// "DAEToolModel_wetter_paint"; binding step not built yet.
class WetterDAEEncoder final : public AbstractToolEncoderShader {
 public:
  explicit WetterDAEEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_wetter_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_wetter_init"; binding step not built yet.
class WetterDAEDryInitEncoder final : public AbstractToolEncoderShader {
 public:
  explicit WetterDAEDryInitEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_wetter_init", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
