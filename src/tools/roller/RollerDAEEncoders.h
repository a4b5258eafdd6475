#pragma once
// The roller's tool-model pass: it names its kernel and binds what every paint pass binds.

#include "tools/AbstractDAEPaintingEncoder.h"

namespace tessivarium {

// "Roller_paint".
class DAERollerPaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAERollerPaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("Roller_paint", std::move(prepare)) {}
};

}  // namespace tessivarium
