#include "ui/TouchSet.h"

#include <algorithm>

#include "foundation/Fatal.h"

namespace ui {

TouchSet::TouchSet(std::initializer_list<std::shared_ptr<Touch>> touches) {
  for (const auto& touch : touches) insert(touch);
}

bool TouchSet::insert(std::shared_ptr<Touch> touch) {
  if (!touch) foundation::fatalError("Cannot add an absent touch to a touch set.");
  if (contains(*touch)) return false;
  touches_.push_back(std::move(touch));
  return true;
}

bool TouchSet::erase(const Touch& touch) {
  const auto found = std::find_if(touches_.begin(), touches_.end(),
                                  [&](const auto& held) { return held.get() == &touch; });
  if (found == touches_.end()) return false;
  touches_.erase(found);
  return true;
}

bool TouchSet::contains(const Touch& touch) const {
  return std::any_of(touches_.begin(), touches_.end(),
                     [&](const auto& held) { return held.get() == &touch; });
}

std::shared_ptr<Touch> TouchSet::first() const {
  return touches_.empty() ? nullptr : touches_.front();
}

}  // namespace ui
