#include "tools/brushes/WideBrushToolViewer.h"

#include "tools/brushes/WideBrushToolModel.h"

namespace tessivarium {
namespace {

// The flat model's fixed height and depth, in cells.
constexpr std::int64_t kWideHeight = 12;
constexpr std::int64_t kWideDepth = 3;

}  // namespace

std::shared_ptr<ToolModel> WideBrushToolViewer::createToolModel() {
  const Measurement m = measureMarkers("WideBrushToolViewer.createToolModel");
  const SCNVector3 e = m.box.max - m.box.min;
  reportExtent(e, SCNVector3(0, 0, 0));
  const std::int64_t width = modelSize(e.x);
  reportSize(width, modelSize(e.y), modelSize(e.z));
  restoreScale(m);
  return std::make_shared<DAE2DToolModel>(*this, width, kWideHeight, kWideDepth);
}

}  // namespace tessivarium
