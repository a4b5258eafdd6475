#pragma once
// One step of the paint tube: the drop step composite around the shared "mac_add_sphere" pass.

#include "tools/DropPainting.h"

namespace tessivarium {

class TubePainting final : public DropPainting {
 public:
  explicit TubePainting(const DrawingTool& tool);
};

}  // namespace tessivarium
