#pragma once
// The dryer's passes (no tool model).
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractShaderUnit.h"

namespace tessivarium {

// "DAEToolModel_dryer_paint"; binding step not built yet.
class DryerDAEEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DryerDAEEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_dryer_paint", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_dryer_init"; binding step not built yet.
class DryerDAEInitEncoder final : public AbstractToolEncoderShader {
 public:
  explicit DryerDAEInitEncoder(PrepareStep prepare = noPreparation()) : AbstractToolEncoderShader("DAEToolModel_dryer_init", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
