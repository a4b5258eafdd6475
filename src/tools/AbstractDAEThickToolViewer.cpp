#include "tools/AbstractDAEThickToolViewer.h"

#include <cmath>
#include <numbers>
#include <string>
#include <string_view>

#include "Artwork.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "foundation/Clock.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModel.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "utils/MetalUtil.h"
#include "utils/Utils.h"

namespace tessivarium {
namespace {

constexpr float kQuarterTurn = static_cast<float>(std::numbers::pi / 2);
// A head, border included, is at most four working windows across on any axis; even a palette's
// large display scale stays far below it.
constexpr float kLargestExtent = 4.0f * static_cast<float>(MAC_WIDTH);

const std::vector<std::string> kMarkers = {"MarkTop",       "MarkDown",       "MarkHeadTop", "MarkHeadLeft",
                                           "MarkHeadRight", "MarkHeadBottom", "MarkLeft",    "MarkRight"};

void setUniformScale(scene::Node* node, float scale) {
  if (node) node->setScale({scale, scale, scale});
}

// The scale of a tool's scene in `paint`'s brush view, so that its head has the same size in points
// on a canvas of every shape. The screen ratio sizes the scene against the canvas's width, but the
// brush view projects by its height (its camera shows two units from top to bottom whatever the
// view's width), so alone it would grow a head with the canvas's height over its width. Taken
// against the 4:3 canvas the ratio was made for, the head keeps the size it has there; on a 4:3
// canvas the factor is exactly 1.
float sceneScale(const DrawingPaint& paint) {
  const Artwork& artwork = *paint.artwork();
  const double shape = 3.0 * static_cast<double>(artwork.width()) / (4.0 * static_cast<double>(artwork.height()));
  return static_cast<float>(AppManager().screenRatio(paint) * shape);
}

}  // namespace

void AbstractDAEThickToolViewer::loads() {
  DefaultToolViewer::loads();
  DrawingPaint& paint = AppManager().requiredCurrentPaint("AbstractDAEThickToolViewer.loads");
  BrushView& brushView = paint.requiredBrushView("AbstractDAEThickToolViewer.loads");
  if (!showScene(brushView, fileName(), sceneScale(paint), [this](scene::Node&) { hideMarks(kMarkers); })) return;

  if (initialized() || !paint.isStarted()) return;
  if (!toolModel()) setToolModel(createToolModel());
  const foundation::Date start;
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  for (const auto& pass : tool().getInitializers()) pass->encode(paint, *buffer);
  if (const auto& model = toolModel()) {
    const auto encoder = buffer->makeBlitCommandEncoder();
    copyTexture(*encoder, model->colorTexture0(), model->savedColorTexture());
    encoder->endEncoding();
  }
  if (DEBUG_DAE_KNIFE != KnifeDebugMode::None) {
    buffer->addCompletedHandler([start](gpu::CommandBuffer&) {
      foundation::consoleLine("Execution time: " + foundation::describe(foundation::Date::now().timeIntervalSince(start)));
    });
  }
  buffer->commit();
  setInitialized(true);
}

AbstractDAEThickToolViewer::Measurement AbstractDAEThickToolViewer::measureMarkers(const char* who) {
  DrawingPaint& paint = AppManager().requiredCurrentPaint(who);
  Measurement m;
  m.toolNode = paint.requiredBrushView(who).toolNode().get();
  if (m.toolNode) m.pose = m.toolNode->eulerAngles();
  setUniformScale(m.toolNode, scale() * static_cast<float>(paint.artwork()->scale()));
  if (m.toolNode) m.toolNode->setEulerAngles({0, 0, 0});

  // Upright: the span along the tool axis, in view y.
  const SCNVector3 t = finiteLocation("MarkTop"), d = finiteLocation("MarkDown");
  const float midY = (d.y + t.y) / 2;

  // Turned a quarter about x: the footprint in view x and y; z comes from the upright view, the
  // top taking the lower mark's height and the bottom the upper one's.
  if (m.toolNode) m.toolNode->setEulerAngles({kQuarterTurn, 0, 0});
  const auto withZ = [](SCNVector3 v, float z) { return SCNVector3(v.x, v.y, z); };
  m.top = withZ(finiteLocation("MarkTop"), d.y);
  m.down = withZ(finiteLocation("MarkDown"), t.y);
  m.headTop = withZ(finiteLocation("MarkHeadTop"), midY);
  m.headLeft = withZ(finiteLocation("MarkHeadLeft"), midY);
  m.headRight = withZ(finiteLocation("MarkHeadRight"), midY);
  m.left = withZ(finiteLocation("MarkLeft"), midY);
  m.right = withZ(finiteLocation("MarkRight"), midY);
  m.box = boundingBox({m.headTop, m.headLeft, m.headRight, m.left, m.right, m.top, m.down});
  return m;
}

std::shared_ptr<ToolModel> AbstractDAEThickToolViewer::createToolModel() {
  Measurement m = measureMarkers("AbstractDAEThickToolViewer.createToolModel");
  const SCNVector3 e = m.box.max - m.box.min;
  reportExtent(e, border());
  const SCNVector3 withBorder = e + border();
  const std::int64_t width = modelSize(withBorder.x), height = modelSize(withBorder.y),
                     depth = modelSize(withBorder.z);
  reportSize(width, height, depth);

  // Centre the head in the volume.
  const SCNVector3 pad((static_cast<float>(width) - e.x) / 2, (static_cast<float>(height) - e.y) / 2,
                       (static_cast<float>(depth) - e.z) / 2);
  const SCNVector3 shift = m.box.min - pad;
  for (SCNVector3* p : {&m.headTop, &m.headLeft, &m.headRight, &m.right, &m.left, &m.top, &m.down}) *p -= shift;

  const Circle circle = FindCercle(SceneVector3ToFloat3(m.headTop), SceneVector3ToFloat3(m.headLeft),
                                   SceneVector3ToFloat3(m.headRight));
  const SCNVector3 origin(m.headTop.x, m.headTop.y, pad.z);
  auto descriptor = std::make_shared<DAEToolDescriptorWrapper>(
      tool().toolType(), origin, m.headTop, m.headLeft, m.headRight, m.left, m.right, m.top, m.down,
      SCNVector3(circle.center.x, circle.center.y, circle.center.z), circle.radius, rotation(), scale());

  if (m.toolNode) m.toolNode->setEulerAngles(m.pose);
  restoreScale(m);
  return std::make_shared<DAEToolModel>(*this, width, height, depth, std::move(descriptor));
}

void AbstractDAEThickToolViewer::restoreScale(const Measurement& m) const { setUniformScale(m.toolNode, scale()); }

AbstractDAEThickToolViewer::Box AbstractDAEThickToolViewer::boundingBox(const std::vector<SCNVector3>& points) const {
  if (points.empty()) foundation::fatalError("AbstractDAEThickToolViewer.boundingBox: no points");
  Box box{points.front(), points.front()};
  for (const auto& p : points) {
    if (p.x > box.max.x) box.max.x = p.x;
    if (p.y > box.max.y) box.max.y = p.y;
    if (p.z > box.max.z) box.max.z = p.z;
    if (p.x < box.min.x) box.min.x = p.x;
    if (p.y < box.min.y) box.min.y = p.y;
    if (p.z < box.min.z) box.min.z = p.z;
  }
  return box;
}

SCNVector3 AbstractDAEThickToolViewer::finiteLocation(const char* name) {
  const SCNVector3 p = getLocation(name, name);
  if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z)) {
    foundation::fatalError(fileName() + ".dae: the marker \"" + std::string(name) + "\" has no finite place");
  }
  return p;
}

void AbstractDAEThickToolViewer::reportExtent(const SCNVector3& e, const SCNVector3& border) const {
  foundation::consoleLine("Box: " + foundation::describe(e.x) + " " + foundation::describe(e.y) + " " +
                          foundation::describe(e.z));
  // A broken scene (markers at NaN, infinity or far apart) gives no size, or one no texture and no
  // working window could ever hold.
  const SCNVector3 withBorder = e + border;
  for (const float n : {withBorder.x, withBorder.y, withBorder.z}) {
    if (!std::isfinite(n) || n >= kLargestExtent) {
      foundation::fatalError(fileName() + ".dae: the tool head measures " + foundation::describe(e.x) + " x " +
                             foundation::describe(e.y) + " x " + foundation::describe(e.z) +
                             " cells; no tool model can hold it");
    }
  }
}

void AbstractDAEThickToolViewer::reportSize(std::int64_t width, std::int64_t height, std::int64_t depth) {
  foundation::consoleLine("Box: " + foundation::describe(width) + " " + foundation::describe(height) + " " +
                          foundation::describe(depth));
}

std::int64_t AbstractDAEThickToolViewer::modelSize(float extentWithBorder) {
  const auto n = static_cast<std::int64_t>(extentWithBorder);
  return n / 8 * 8 + 8;
}

}  // namespace tessivarium
