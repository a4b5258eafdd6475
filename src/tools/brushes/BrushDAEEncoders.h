#pragma once
// The bristle brushes' tool-model passes. The flat, fan and filbert brushes of every size share one
// fill, paint and pickup pass, which only name their kernels, and one bristle initialiser per
// family, which lays the family's bristles into a freshly reset head.
//
// An initialiser binds, for the current tool, the head's descriptor record (built afresh on every
// run, so no brush ever lays its head from another brush's record), the head's two working copies
// (then exchanged, as every head pass does) and the bristles, 32 bytes a record, at
// BUFFER_BRISTLES; one thread per record, 1-D groups of w / 8 threads (w the pipeline's execution
// width), as many groups as hold every record. A head that gives no bristles binds no bristle
// buffer and dispatches nothing. Main thread only.

#include <vector>

#include "tools/AbstractDAEEncoderUnit.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/ToolModelKernelRecords.h"

namespace tessivarium {

class DAEToolModel;

// The base of the bristle initialisers: the head's binding, then the family's bristles.
class AbstractBrushEncoderUnit : public AbstractDAEEncoderUnit {
 public:
  // The current tool must have a measured head (a DAEToolModel); anything else is a fatal stop.
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override;
  // The family's bristles for the head of `paint`'s current tool.
  virtual std::vector<Bristle> createBristles(DrawingPaint& paint) = 0;

 protected:
  using AbstractDAEEncoderUnit::AbstractDAEEncoderUnit;
  // The measured head of `paint`'s current tool; fatal when it has none.
  DAEToolModel& measuredHead(DrawingPaint& paint) const;
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

// "DAEToolModel_brush_fan": the fan layout; prints "Bristles: " and the number of records.
class FanBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FanBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_fan", std::move(prepare)) {}
  std::vector<Bristle> createBristles(DrawingPaint& paint) override;
};

// "DAEToolModel_brush_flat": the flat layout.
class FlatBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FlatBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_flat", std::move(prepare)) {}
  std::vector<Bristle> createBristles(DrawingPaint& paint) override;
};

// "DAEToolModel_brush_filbert": the filbert layout.
class FilbertBrushInitializer final : public AbstractBrushEncoderUnit {
 public:
  explicit FilbertBrushInitializer(PrepareStep prepare = noPreparation()) : AbstractBrushEncoderUnit("DAEToolModel_brush_filbert", std::move(prepare)) {}
  std::vector<Bristle> createBristles(DrawingPaint& paint) override;
};

}  // namespace tessivarium
