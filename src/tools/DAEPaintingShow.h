#pragma once
// The debug view of the current tool's head: the height pass, then the height picture drawn into
// the current layer. While DEBUG_DAE_KNIFE is Complete when it is made, the registry's render runs
// too, so the picture is drawn twice. Main thread only.

#include "tools/ToolEncoder.h"

namespace tessivarium {

class DAEPaintingShow final : public CompositeEncoderUnit {
 public:
  explicit DAEPaintingShow(PrepareStep prepare = noPreparation());
};

}  // namespace tessivarium
