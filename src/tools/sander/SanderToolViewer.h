#pragma once
// The sander's viewer: a working-tool viewer (no margin around the measured head, the preview
// sized by the press).

#include "tools/AbstractDAEWorkingToolViewer.h"

namespace tessivarium {

class SanderToolViewer final : public AbstractDAEWorkingToolViewer {
 public:
  using AbstractDAEWorkingToolViewer::AbstractDAEWorkingToolViewer;
};

}  // namespace tessivarium
