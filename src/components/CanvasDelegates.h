#pragma once
// The roles a canvas talks to: anything that takes its touches (tools, viewers, pickers), the
// host's painting delegate, which takes them too, and the host's layer-change delegate, told after
// every restacking.

namespace ui {
class Event;
class TouchSet;
}  // namespace ui

namespace tessivarium {

class TouchHandler {
 public:
  virtual ~TouchHandler() = default;
  virtual void touchesMoved(const ui::TouchSet& touches, const ui::Event* event) = 0;
  virtual void touchesBegan(const ui::TouchSet& touches, const ui::Event* event) = 0;
  virtual void touchesEnded(const ui::TouchSet& touches, const ui::Event* event) = 0;
};

class PaintingDelegate : public TouchHandler {};

class LayerChangeDelegate {
 public:
  virtual ~LayerChangeDelegate() = default;
  virtual void updateLayers() = 0;
};

}  // namespace tessivarium
