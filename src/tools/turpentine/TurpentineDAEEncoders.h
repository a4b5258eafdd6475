#pragma once
// Turpentine's tool-model passes, each made once by the registry (DAEEncoders) and shared. They
// bind what their bases bind.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelBlur.h"

namespace tessivarium {

// "Turpentine_paint".
class TurpentinePaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit TurpentinePaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Turpentine_paint", std::move(prepare)) {}
};

// "Turpentine_blur_image".
class TurpentineModelBlur final : public AbstractDAEToolModelBlur {
 public:
  explicit TurpentineModelBlur(PrepareStep prepare = noPreparation()) : AbstractDAEToolModelBlur("Turpentine_blur_image", std::move(prepare)) {}
};

}  // namespace tessivarium
