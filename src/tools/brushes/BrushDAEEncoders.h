#pragma once
// The bristle brushes' tool-model passes. The flat, fan and filbert brushes of every size share one
// fill, paint and pickup pass, which only name their kernels; the bristle initialisers bring a
// binding step of their own.
// Passes marked below are made and shared by the registry now; their binding steps come with
// their tools and stop with "not built yet" until then.

#include "tools/AbstractDAEEncoderUnit.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/DAEToolModelPasses.h"

namespace tessivarium {

// The base of the bristle initialisers: the head's binding, then the brush's bristles.
class AbstractBrushEncoderUnit : public AbstractDAEEncoderUnit {
 protected:
  using AbstractDAEEncoderUnit::AbstractDAEEncoderUnit;
};

// "DAEToolModel_brush_fill".
class BrushDAEColorFillEncoder final : public AbstractDAEColorFillEncoder {
 public:
  explicit BrushDAEColorFillEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEColorFillEncoder("DAEToolModel_brush_fill", std::move(prepare)) {}
};

// "DAEToolModel_brush_paint".
class DAEBrushPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAEBrushPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_brush_paint", std::move(prepare)) {}
};

// "DAEToolModel_brush_pickup".
class DAEBrushPickupEncoder final : public AbstractDAEPickupEncoder {
 public:
  explicit DAEBrushPickupEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPickupEncoder("DAEToolModel_brush_pickup", std::move(prepare)) {}
};

// "DAEToolModel_brush_fan"; binding step not built yet.
class FanBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FanBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_fan", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_brush_flat"; binding step not built yet.
class FlatBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FlatBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_flat", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

// "DAEToolModel_brush_filbert"; binding step not built yet.
class FilbertBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FilbertBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_filbert", std::move(prepare)) {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
};

}  // namespace tessivarium
