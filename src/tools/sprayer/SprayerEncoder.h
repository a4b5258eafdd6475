#pragma once
// The sprayer's paint pass on the kernel "DAESprayer_paint", with exactly the drop bindings (no
// drawing mode: sprayed paint is always wet). The pass registry makes the one object and builds its
// pipeline at start-up. Main thread only.

#include "tools/DropToolEncoder.h"

namespace tessivarium {

class SprayerEncoder final : public DropToolEncoder {
 public:
  explicit SprayerEncoder(PrepareStep prepare = noPreparation()) : DropToolEncoder("DAESprayer_paint", std::move(prepare)) {}
};

}  // namespace tessivarium
