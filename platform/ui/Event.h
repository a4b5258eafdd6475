#pragma once
// An event: what came with a set of touches. It carries, for each touch it knows, the coalesced
// touches: the samples the screen took since the last event, oldest first (a touch moved by a
// stylus reports several per display frame).
//
// Threads: main thread only.

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "ui/Touch.h"

namespace ui {

class Event {
 public:
  using Touches = std::vector<std::shared_ptr<Touch>>;

  // Sets the coalesced touches of `touch` (replacing earlier ones). Absent touches stop fatally.
  void setCoalescedTouches(const std::shared_ptr<Touch>& touch, Touches coalesced);

  // The coalesced touches of `touch`, in order; none when the event has none for it.
  std::optional<Touches> coalescedTouches(const Touch& touch) const;

 private:
  std::vector<std::pair<std::shared_ptr<Touch>, Touches>> coalesced_;
};

}  // namespace ui
