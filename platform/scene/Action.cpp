#include "scene/Action.h"

#include <algorithm>
#include <cmath>

#include "foundation/Fatal.h"
#include "scene/Node.h"

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

ActionClock& ActionClock::shared() {
  // Never destroyed: nodes held by other long-lived objects may still unregister at exit.
  static ActionClock* clock = new ActionClock;
  return *clock;
}

void ActionClock::advance(double seconds) {
  if (!std::isfinite(seconds) || seconds < 0) {
    foundation::fatalError("action clock: time only moves forward by a finite interval");
  }
  now_ += seconds;
  std::vector<Running> stillRunning;
  for (Running& running : running_) {
    if (!step(running)) stillRunning.push_back(std::move(running));
  }
  running_ = std::move(stillRunning);
}

void ActionClock::start(Node& node, std::shared_ptr<const Action> action) {
  Running running{&node, std::move(action), now_, 0};
  if (!step(running)) running_.push_back(std::move(running));
}

void ActionClock::forget(const Node* node) {
  std::erase_if(running_, [node](const Running& running) { return running.node == node; });
}

void ActionClock::reset() {
  now_ = 0;
  running_.clear();
}

bool ActionClock::step(Running& running) const {
  const Action& action = *running.action;
  const double reached =
      action.duration() > 0 ? std::min((now_ - running.started) / action.duration(), 1.0) : 1.0;
  const double part = reached - running.applied;
  if (part > 0) {
    Node& node = *running.node;
    const Vector3 e = node.eulerAngles();
    node.setEulerAngles({float(e.x + action.x() * part), float(e.y + action.y() * part),
                         float(e.z + action.z() * part)});
    running.applied = reached;
  }
  return reached >= 1.0;
}

}  // namespace scene
