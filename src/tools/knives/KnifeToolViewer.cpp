#include "tools/knives/KnifeToolViewer.h"

namespace tessivarium {

KnifeToolViewer::KnifeToolViewer(AbstractDrawingTool& tool, std::string fileName, float scale)
    : AbstractDAEThickToolViewer(tool, std::move(fileName), scale) {
  setStretching(false);
}

}  // namespace tessivarium
