#pragma once
// The knives' tool-model passes: they only name their kernels.

#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEToolModelPasses.h"

namespace tessivarium {

// "DAEToolModel_knife_fill".
class KnifeDAEColorFillEncoder final : public AbstractDAEColorFillEncoder {
 public:
  explicit KnifeDAEColorFillEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEColorFillEncoder("DAEToolModel_knife_fill", std::move(prepare)) {}
};

// "DAEToolModel_knife_paint".
class DAEKnifePaintingEncoder final : public AbstractDAEPaintingEncoder {
 public:
  explicit DAEKnifePaintingEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPaintingEncoder("DAEToolModel_knife_paint", std::move(prepare)) {}
};

// "DAEToolModel_knife_pickup".
class DAEKnifePickupEncoder final : public AbstractDAEPickupEncoder {
 public:
  explicit DAEKnifePickupEncoder(PrepareStep prepare = noPreparation()) : AbstractDAEPickupEncoder("DAEToolModel_knife_pickup", std::move(prepare)) {}
};

}  // namespace tessivarium
