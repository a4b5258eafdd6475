#pragma once
// Actions that change a node over time, and the virtual clock that drives them. Nothing here
// reads the real time: the host (once per frame) or a test advances the clock, and every running
// action takes its share of the elapsed time. Main thread only.

#include <cstddef>
#include <memory>
#include <vector>

namespace scene {

class Node;

class Action {
 public:
  enum class Kind { rotateBy };

  // Adds (x, y, z) radians to a node's Euler angles, spread evenly over `duration` seconds; a
  // duration of 0 turns the node at once. A fatal stop for a negative or non-finite duration or a
  // non-finite amount.
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

// The one clock of all running actions; reset to time 0 with nothing running by resetGlobals().
class ActionClock {
 public:
  static ActionClock& shared();

  // Seconds advanced since the start (or the last reset).
  double now() const { return now_; }
  // Moves the clock on by `seconds` and applies to each running action the part of its amount
  // that falls in the interval; actions that reach their duration finish. A fatal stop for a
  // negative or non-finite interval.
  void advance(double seconds);
  // Actions started and not yet finished.
  std::size_t runningCount() const { return running_.size(); }

  // Starts an action on a node (Node::runAction calls this).
  void start(Node& node, std::shared_ptr<const Action> action);
  // Drops the running actions of a node that is going away.
  void forget(const Node* node);
  // Time 0, nothing running.
  void reset();

 private:
  struct Running {
    Node* node;
    std::shared_ptr<const Action> action;
    double started;
    double applied;  // the fraction of the amount already added, 0 … 1
  };

  ActionClock() = default;
  // Adds the part of the amount between `applied` and the fraction reached at the current time;
  // true when the action is finished.
  bool step(Running& running) const;

  double now_ = 0;
  std::vector<Running> running_;
};

}  // namespace scene
