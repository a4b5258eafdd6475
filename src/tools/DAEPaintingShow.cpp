#include "tools/DAEPaintingShow.h"

#include "components/DrawingPaint.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"

namespace tessivarium {

DAEPaintingShow::DAEPaintingShow(PrepareStep prepare) : CompositeEncoderUnit(std::move(prepare)) {
  auto& registry = DAEEncoders();
  std::vector<std::shared_ptr<ToolEncoder>> children{registry.getPaintHeight()};
  if (DEBUG_DAE_KNIFE == KnifeDebugMode::Complete) children.push_back(registry.getPaintRender());
  children.push_back(std::make_shared<DAEPaintingRender>());
  setEncoders(std::move(children));
}

bool DAEPaintingShow::hasHeadToShow(DrawingPaint& paint) {
  return paint.drawingTool()->toolSurface()->getModel() != nullptr;
}

}  // namespace tessivarium
