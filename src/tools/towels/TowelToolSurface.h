#pragma once
// The towel's stroke surface: the tool-model surface's steps, with the stylus taken as lying flat:
// every altitude of a step becomes 0 before the samples are uploaded, so the kernels and the
// step's descriptor record see the towel flat on the canvas. Main thread only.

#include "tools/DAEToolSurface.h"

namespace tessivarium {

class TowelToolSurface final : public DAEToolSurface {
 public:
  using DAEToolSurface::DAEToolSurface;

  void adjustInput() override;
};

}  // namespace tessivarium
