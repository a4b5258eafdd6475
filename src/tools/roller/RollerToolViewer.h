#pragma once
// The roller's preview and head: the "Roller" scene, small in the canvas's brush view, turned by the
// stylus's tilt and azimuth and sized by its pressure alone, its head measured without a margin so
// the roller's passes have a model. It is posed and sized as the viewers of the tools that work the
// paint on the canvas are (AbstractDAEWorkingToolViewer): a touch never loads it; the tool's own
// load and each attach do. Main thread only.

#include "tools/AbstractDAEWorkingToolViewer.h"

namespace tessivarium {

class RollerToolViewer final : public AbstractDAEWorkingToolViewer {
 public:
  using AbstractDAEWorkingToolViewer::AbstractDAEWorkingToolViewer;
};

}  // namespace tessivarium
