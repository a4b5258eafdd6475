#include "ui/FrameSource.h"

#include <algorithm>

#include "ui/GPUView.h"

namespace ui {

FrameSource& FrameSource::main() {
  // Never destroyed: GPU views held by other globals leave it during the program's exit.
  static FrameSource* const source = new FrameSource;
  return *source;
}

namespace {

bool bySerial(const GPUView* a, std::uint64_t serial) { return a->serial() < serial; }

}  // namespace

void FrameSource::add(GPUView& view) { views_.push_back(&view); }

void FrameSource::remove(const GPUView& view) {
  const auto found = std::lower_bound(views_.begin(), views_.end(), view.serial(), bySerial);
  if (found != views_.end() && *found == &view) views_.erase(found);
}

GPUView* FrameSource::find(std::uint64_t serial) const {
  const auto found = std::lower_bound(views_.begin(), views_.end(), serial, bySerial);
  return found != views_.end() && (*found)->serial() == serial ? *found : nullptr;
}

std::vector<GPUView*> FrameSource::views() const { return views_; }

std::size_t FrameSource::displayFrame() {
  std::vector<GPUView*> turn = views_;
  if (order_) {
    std::stable_sort(turn.begin(), turn.end(),
                     [this](const GPUView* a, const GPUView* b) { return order_(*a, *b); });
  }
  // Serials, not pointers: a view destroyed during the frame must not be reached through its
  // address, which a view made later may reuse.
  std::vector<std::uint64_t> serials;
  serials.reserve(turn.size());
  for (const GPUView* view : turn) serials.push_back(view->serial());

  std::size_t drawn = 0;
  for (std::uint64_t serial : serials) {
    GPUView* view = find(serial);
    if (view && view->displayFrame()) ++drawn;
  }
  return drawn;
}

}  // namespace ui
