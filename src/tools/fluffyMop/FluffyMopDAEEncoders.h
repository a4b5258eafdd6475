#pragma once
// The fluffy mop's tool-model passes, each made once by the registry (DAEEncoders) and shared.
// They bind what their bases bind.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "FluffyMop_paint".
class FluffyMopPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit FluffyMopPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("FluffyMop_paint", std::move(prepare)) {}
};

// "FluffyMop_blur_image".
class FluffyMopModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit FluffyMopModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("FluffyMop_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
