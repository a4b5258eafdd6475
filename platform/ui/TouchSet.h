#pragma once
// A set of touches that keeps the order in which they were added, so that "the first touch" and
// the order of an iteration are the same on every run. A touch is in the set at most once
// (compared by identity).
//
// Threads: main thread only.

#include <cstddef>
#include <initializer_list>
#include <memory>
#include <vector>

#include "ui/Touch.h"

namespace ui {

class TouchSet {
 public:
  using const_iterator = std::vector<std::shared_ptr<Touch>>::const_iterator;

  TouchSet() = default;
  TouchSet(std::initializer_list<std::shared_ptr<Touch>> touches);

  // Adds the touch at the end; false (and no change) when it is already in the set. An absent
  // touch stops fatally.
  bool insert(std::shared_ptr<Touch> touch);
  // Takes the touch out; false when it was not in the set.
  bool erase(const Touch& touch);
  bool contains(const Touch& touch) const;

  std::size_t size() const { return touches_.size(); }
  bool empty() const { return touches_.empty(); }
  // The first touch added that is still in the set; none when the set is empty.
  std::shared_ptr<Touch> first() const;

  const_iterator begin() const { return touches_.begin(); }
  const_iterator end() const { return touches_.end(); }

 private:
  std::vector<std::shared_ptr<Touch>> touches_;
};

}  // namespace ui
