#pragma once
// The wetter's passes (no tool model): the twins' passes (tools/dryer/FanDryerPasses.h) with the
// wetter's kernels.

#include "tools/dryer/FanDryerPasses.h"

namespace tessivarium {

class WetterDAEDryInitEncoder final : public FanDryerInitPass {
 public:
  explicit WetterDAEDryInitEncoder(PrepareStep prepare = noPreparation())
      : FanDryerInitPass("DAEToolModel_wetter_init", std::move(prepare)) {}
};

class WetterDAEEncoder final : public FanDryerPaintPass {
 public:
  explicit WetterDAEEncoder(PrepareStep prepare = noPreparation())
      : FanDryerPaintPass("DAEToolModel_wetter_paint", std::move(prepare)) {}
};

}  // namespace tessivarium
