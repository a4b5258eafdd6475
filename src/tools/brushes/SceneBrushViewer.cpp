#include "tools/brushes/SceneBrushViewer.h"

#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "scene/Geometry.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

// The default bristle: a tube 0.01 wide and 0.2 long in scene units, of 10 rings of 16 points,
// its rings' colours all clear.
constexpr float kBristleRadius = 0.01f, kBristleLength = 0.2f;
constexpr std::size_t kBristleRings = 10, kBristleResolution = 16;
constexpr float kSphereRadius = 0.001f;

BrushView& brushViewOfCurrentCanvas(std::string_view operation) {
  return AppManager().requiredCurrentPaint(operation).requiredBrushView(operation);
}

}  // namespace

SceneBrushViewer::SceneBrushViewer(AbstractDrawingTool& tool, float scale)
    : AbstractDAEThickToolViewer(tool, "", scale) {}

void SceneBrushViewer::loads() {
  initLoads();
  const auto& content = toolContentNode();
  if (content->childNodes().empty()) {
    auto bristle = std::make_shared<BrushBristle>(SCNVector3(0, 0, 0), kBristleRadius, kBristleLength,
                                                  std::vector<scene::Vector4>(kBristleRings), kBristleResolution);
    bristles_.push_back(bristle);
    bristle->createNodes(*content, scene::Sphere::make(kSphereRadius));
  }
  brushViewOfCurrentCanvas("SceneBrushViewer.loads").setBrushNode(content);
}

void SceneBrushViewer::attachView() {
  DefaultToolViewer::attachView();
  const auto self = weak_from_this().lock();
  if (!self) foundation::fatalError("SceneBrushViewer.attachView: the viewer is not held by its tool");
  brushViewOfCurrentCanvas("SceneBrushViewer.attachView").setDelegate(self);
}

void SceneBrushViewer::dettachView() {
  AbstractDAEThickToolViewer::dettachView();
  brushViewOfCurrentCanvas("SceneBrushViewer.dettachView").setDelegate(nullptr);
}

void SceneBrushViewer::willRenderScene(scene::View&, scene::Scene&, double) {}

}  // namespace tessivarium
