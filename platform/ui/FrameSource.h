#pragma once
// The display's frame source. There is no display here: the host (or a test) calls displayFrame()
// whenever a frame is due, and every GPU view that is not paused and has a delegate draws once.
//
// Order: the views draw in the order they were made, unless setOrder() gives another (a test can
// put one layer's view before another's). Whether a view draws is decided at its turn, so a
// draw callback that pauses a later view, takes its delegate or destroys it keeps it from drawing
// in this frame; views made during a frame draw from the next one on.
//
// Threads: main thread only; no locks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace ui {

class GPUView;

class FrameSource {
 public:
  // True when `a` draws before `b`.
  using Order = std::function<bool(const GPUView& a, const GPUView& b)>;

  static FrameSource& main();

  // One display frame; returns how many views drew.
  std::size_t displayFrame();

  // Empty: the order of creation. Reset by ui::resetGlobals().
  void setOrder(Order order) { order_ = std::move(order); }

  // The living GPU views, in the order of creation.
  std::vector<GPUView*> views() const;

 private:
  friend class GPUView;
  FrameSource() = default;
  void add(GPUView& view);
  void remove(const GPUView& view);
  GPUView* find(std::uint64_t serial) const;

  std::vector<GPUView*> views_;  // by serial, ascending
  Order order_;
};

}  // namespace ui
