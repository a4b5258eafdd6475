#pragma once
// Actions that change a node. Nothing here is drawn, so there is no animation to run: an action
// takes its whole effect on the node at once, and the node keeps a record of the actions run on
// it (how many, and the last one) for whoever checks what was asked.

#include <cstddef>
#include <memory>

namespace scene {

class Action {
 public:
  enum class Kind { rotateBy };

  // Adds (x, y, z) radians to a node's Euler angles; on a screen the turn would be spread over
  // `duration` seconds. A fatal stop for a negative or non-finite duration or a non-finite
  // amount.
  static std::shared_ptr<const Action> rotateBy(double x, double y, double z, double duration);

  Kind kind() const { return kind_; }
  double x() const { return x_; }
  double y() const { return y_; }
  double z() const { return z_; }
  double duration() const { return duration_; }

 private:
  Action(Kind kind, double x, double y, double z, double duration)
      : kind_(kind), x_(x), y_(y), z_(z), duration_(duration) {}

  Kind kind_;
  double x_, y_, z_;
  double duration_;
};

// What a node keeps of the actions run on it: their number and the last one (none before the
// first). It stays this size however many actions a long session runs.
struct ActionRecord {
  std::size_t count = 0;
  std::shared_ptr<const Action> last;
};

}  // namespace scene
