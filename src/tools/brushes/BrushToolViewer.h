#pragma once
// The viewer of the flat, fan and filbert brushes: besides the thick viewer's tilt, each sample
// bends the preview's bristle bones ("Bone2" to "Bone5") by its pressure, towards the side the
// tool's rotation faces, and stretches the last bone with the pressure while `stretching` is set.
// Nothing is kept between samples. Main thread only.

#include <string>

#include "tools/brushes/AbstractDAEThickBrushToolViewer.h"

namespace tessivarium {

// The bend of every bristle bone for a tool turned by `rotation` radians pressed with `force`:
// Euler angles (x, 0, z). A full press of an unturned brush bends by π/20 about x; turned past a
// quarter the bend shrinks to a fifth (and reverses between a quarter and three quarters).
struct BoneBend {
  float x = 0, z = 0;
};
BoneBend boneBend(float rotation, float force);

class BrushToolViewer : public AbstractDAEThickBrushToolViewer {
 public:
  using AbstractDAEThickBrushToolViewer::AbstractDAEThickBrushToolViewer;

  // The thick viewer's pose for the sample, then the bend of every bone found (missing ones are
  // skipped) and, while stretching, "Bone5" lengthened to 1 + 0.4 x force along x.
  void updateOnTouch(scene::Node& node, const TouchInput& touchInput) override;
};

}  // namespace tessivarium
