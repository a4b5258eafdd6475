#pragma once
// The dryer's passes (no tool model): the twins' passes with the dryer's kernels.

#include "tools/dryer/FanDryerPasses.h"

namespace tessivarium {

class DryerDAEInitEncoder final : public FanDryerInitPass {
 public:
  explicit DryerDAEInitEncoder(PrepareStep prepare = noPreparation())
      : FanDryerInitPass("DAEToolModel_dryer_init", std::move(prepare)) {}
};

class DryerDAEEncoder final : public FanDryerPaintPass {
 public:
  explicit DryerDAEEncoder(PrepareStep prepare = noPreparation())
      : FanDryerPaintPass("DAEToolModel_dryer_paint", std::move(prepare)) {}
};

}  // namespace tessivarium
