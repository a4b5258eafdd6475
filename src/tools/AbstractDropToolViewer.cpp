#include "tools/AbstractDropToolViewer.h"

#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "scene/Light.h"
#include "scene/Node.h"
#include "tools/AbstractDropTool.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {

AbstractDropToolViewer::AbstractDropToolViewer(AbstractDropTool& tool, std::string fileName, float scale)
    : AbstractDAEThickToolViewer(tool, std::move(fileName), scale), dropTool_(&tool) {}

void AbstractDropToolViewer::attachView() {
  setInitialized(true);
  DefaultToolViewer::attachView();
  updateOnToolChange();
}

void AbstractDropToolViewer::updateOnToolChange() {
  const auto& paint = AppManager().currentPaint();
  if (!paint || !paint->brushView()) return;
  const auto& lightNode = paint->brushView()->lightNode();
  if (lightNode && lightNode->light()) lightNode->light()->setColor(dropTool_->color());
}

}  // namespace tessivarium
