#pragma once
// The fluffy mop's viewer, and the base of turpentine's: a working-tool viewer (no margin around
// the measured head, the preview sized by the press).

#include "tools/AbstractDAEWorkingToolViewer.h"

namespace tessivarium {

class FluffyMopToolViewer : public AbstractDAEWorkingToolViewer {
 public:
  using AbstractDAEWorkingToolViewer::AbstractDAEWorkingToolViewer;
};

}  // namespace tessivarium
