#include "scene/Action.h"

#include <cmath>

#include "foundation/Fatal.h"

namespace scene {

std::shared_ptr<const Action> Action::rotateBy(double x, double y, double z, double duration) {
  if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) {
    foundation::fatalError("rotate-by action: the angles must be finite");
  }
  if (!std::isfinite(duration) || duration < 0) {
    foundation::fatalError("rotate-by action: the duration must be a finite number of seconds, 0 or more");
  }
  return std::shared_ptr<const Action>(new Action(Kind::rotateBy, x, y, z, duration));
}

}  // namespace scene
