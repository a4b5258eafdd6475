// The canvas's layer entries: each builds the undo step of its change, whose construction performs
// it, and records it in the canvas's history.

#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"

namespace tessivarium {

const std::shared_ptr<CommandManager>& DrawingPaint::commandManager() {
  foundation::fatalError("DrawingPaint.commandManager: not built yet");
}

void DrawingPaint::releaseHistory() {}

void DrawingPaint::layerCreate() { foundation::fatalError("DrawingPaint.layerCreate: not built yet"); }
void DrawingPaint::layerGoUp() { foundation::fatalError("DrawingPaint.layerGoUp: not built yet"); }
void DrawingPaint::layerGoDown() { foundation::fatalError("DrawingPaint.layerGoDown: not built yet"); }
void DrawingPaint::layerMerge(const std::vector<std::shared_ptr<Layer>>&) {
  foundation::fatalError("DrawingPaint.layerMerge: not built yet");
}
void DrawingPaint::layerHidden(const std::shared_ptr<Layer>&, bool) {
  foundation::fatalError("DrawingPaint.layerHidden: not built yet");
}
void DrawingPaint::layerClean(const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerClean: not built yet");
}
void DrawingPaint::layerMoveDown(const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerMoveDown: not built yet");
}
void DrawingPaint::layerMoveUp(const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerMoveUp: not built yet");
}
void DrawingPaint::layerDuplicate(const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerDuplicate: not built yet");
}
bool DrawingPaint::layerDelete(const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerDelete: not built yet");
}
void DrawingPaint::layerCopyFrom(const std::shared_ptr<Layer>&, const std::shared_ptr<Layer>&) {
  foundation::fatalError("DrawingPaint.layerCopyFrom: not built yet");
}

}  // namespace tessivarium
