#pragma once
// The host's roles a canvas talks to besides its touch handlers: the painting delegate, which takes
// the painting touches too, and the layer-change delegate, told after every restacking.

#include "tools/colorPicker/TouchHandler.h"

namespace tessivarium {

class PaintingDelegate : public TouchHandler {};

class LayerChangeDelegate {
 public:
  virtual ~LayerChangeDelegate() = default;
  virtual void updateLayers() = 0;
};

}  // namespace tessivarium
