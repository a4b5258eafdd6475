#include "ui/Event.h"

#include <algorithm>

#include "foundation/Fatal.h"

namespace ui {

void Event::setCoalescedTouches(const std::shared_ptr<Touch>& touch, Touches coalesced) {
  if (!touch || std::any_of(coalesced.begin(), coalesced.end(), [](const auto& t) { return !t; })) {
    foundation::fatalError("An event's coalesced touches cannot be absent.");
  }
  for (auto& entry : coalesced_) {
    if (entry.first == touch) {
      entry.second = std::move(coalesced);
      return;
    }
  }
  coalesced_.emplace_back(touch, std::move(coalesced));
}

std::optional<Event::Touches> Event::coalescedTouches(const Touch& touch) const {
  for (const auto& entry : coalesced_) {
    if (entry.first.get() == &touch) return entry.second;
  }
  return std::nullopt;
}

}  // namespace ui
