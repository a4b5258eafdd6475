#pragma once
// Turpentine's viewer: the fluffy mop's, with its own scene.

#include "tools/fluffyMop/FluffyMopToolViewer.h"

namespace tessivarium {

class TurpentineToolViewer final : public FluffyMopToolViewer {
 public:
  using FluffyMopToolViewer::FluffyMopToolViewer;
};

}  // namespace tessivarium
