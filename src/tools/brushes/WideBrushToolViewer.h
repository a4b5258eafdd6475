#pragma once
// The viewer of the wide brushes: the brush viewer of the flat-brush scene whose measurement keeps
// only the head's width. The markers are measured as the thick viewer measures them, with no border;
// the model is W x 12 x 3 cells, W raised from the x extent to the next multiple of 8 above its
// whole part. Main thread only.

#include <memory>
#include <string>

#include "tools/brushes/AbstractDAEThickBrushToolViewer.h"

namespace tessivarium {

class WideBrushToolViewer final : public AbstractDAEThickBrushToolViewer {
 public:
  using AbstractDAEThickBrushToolViewer::AbstractDAEThickBrushToolViewer;

  // Measures the markers, prints the extent and the size ("Box: " twice: the y and z sizes are
  // shown though the model keeps 12 and 3), gives the brush view's tool node back the display
  // scale, and returns a DAE2DToolModel. The node is left turned a quarter about x: the next touch
  // poses it again.
  std::shared_ptr<ToolModel> createToolModel() override;
};

}  // namespace tessivarium
