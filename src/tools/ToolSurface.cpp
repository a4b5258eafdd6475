#include "tools/ToolSurface.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <numbers>
#include <string>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/Device.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "tools/ToolViewer.h"
#include "utils/GpuRecords.h"

namespace tessivarium {

namespace {

// The spacing of the samples of one step, in view points, by tool; 0 for the tube, whose kernel
// joins its samples itself. A brush lays its head where each sample stands, so its spacing lies
// within the length of its head along the stroke: however far apart a quick stroke brings the
// samples, the stroke stays continuous while the brush holds paint.
double spacingOf(ToolType type) {
  switch (type) {
    case ToolType::tube:
      return 0.0;
    case ToolType::fanBrush:
    case ToolType::bigFanBrush:
    case ToolType::flatBrush:
    case ToolType::bigFlatBrush:
    case ToolType::bigFilbertBrush:
    case ToolType::bigWideBrush:
    case ToolType::extraWideBrush:
    case ToolType::filbertBrush:
      return 5.0;
    case ToolType::smallFanBrush:
    case ToolType::smallFlatBrush:
    case ToolType::smallWideBrush:
    case ToolType::wideBrush:
    case ToolType::smallFilbertBrush:
      return 3.0;
    default:
      return isKnife(type) ? 3.0 : 11.0;
  }
}

double distance(graphics::Point a, graphics::Point b) {
  const double dx = a.x - b.x, dy = a.y - b.y;
  return std::sqrt(dx * dx + dy * dy);
}

// The sample halfway between two: every value the plain mean (angles without wrap-around).
std::shared_ptr<TouchInput> midpoint(const TouchInput& a, const TouchInput& b) {
  const graphics::Point location{(a.location().x + b.location().x) / 2, (a.location().y + b.location().y) / 2};
  return std::make_shared<TouchInput>(location, (a.force() + b.force()) / 2,
                                      (a.altitudeAngle() + b.altitudeAngle()) / 2,
                                      (a.azimuthAngle() + b.azimuthAngle()) / 2);
}

// The halvings that give at most MAX_SAMPLES_PER_GAP samples inside one gap.
constexpr int kMaxHalvings = std::bit_width(MAX_SAMPLES_PER_GAP);

// Appends `input` to `list`, halving the step from the list's last sample (or `before` for an
// empty list) until no step is longer than `spacing` or `halvings` more are spent.
void appendSpaced(TouchInputs& list, const TouchInput* before, const std::shared_ptr<TouchInput>& input,
                  double spacing, int halvings = kMaxHalvings) {
  const TouchInput* prev = list.empty() ? before : list.back().get();
  if (halvings > 0 && prev && distance(prev->location(), input->location()) > spacing) {
    const auto middle = midpoint(*prev, *input);
    appendSpaced(list, before, middle, spacing, halvings - 1);
    appendSpaced(list, before, input, spacing, halvings - 1);
    return;
  }
  list.push_back(input);
}

// The batch with every sample farther than SAMPLE_MARGIN cells off `paint` moved onto that
// margin; the others are the same samples.
TouchInputs nearCanvas(const TouchInputs& batch, const DrawingPaint& paint) {
  const double margin = SAMPLE_MARGIN / ArtworkTextures::dataScale(paint);
  const double right = static_cast<double>(paint.artwork()->width()) + margin;
  const double bottom = static_cast<double>(paint.artwork()->height()) + margin;
  TouchInputs held;
  held.reserve(batch.size());
  for (const auto& sample : batch) {
    const graphics::Point at = sample->location();
    const graphics::Point near{std::clamp(at.x, -margin, right), std::clamp(at.y, -margin, bottom)};
    held.push_back(near == at ? sample : std::make_shared<TouchInput>(sample->movedTo(near)));
  }
  return held;
}

std::shared_ptr<gpu::Buffer> makeCountBuffer(std::int64_t count) {
  return AppManager().device()->makeBuffer(&count, sizeof count);
}

}  // namespace

ToolSurface::ToolSurface(AbstractDrawingTool& tool) : tool_(&tool) {
  setOffset({0, 0, 0});
  setDt(1.0f);
}

ToolSurface::~ToolSurface() = default;

void ToolSurface::setOffset(gpu::uint3 offset) {
  offset_ = offset;
  offsetBuffer_ = makeOffsetBuffer(offset);
}

// --- Fluid-step constants -------------------------------------------------------------------------

void ToolSurface::setDt(float dt) {
  dt_ = dt;
  dtBuffer_ = makeFloatBuffer(std::span<const float>(&dt_, 1));
}

float ToolSurface::divergenceScale() {
  if (!divergenceScale_) divergenceScale_ = 1.0f / dx;
  return *divergenceScale_;
}

float ToolSurface::jacobPressureScale() {
  if (!jacobPressureScale_) jacobPressureScale_ = rho * dx * dx / dt();
  return *jacobPressureScale_;
}

float ToolSurface::gradientScale() {
  if (!gradientScale_) gradientScale_ = 1.0f / (vicosity * dx);
  return *gradientScale_;
}

float ToolSurface::viscosityScale() {
  if (!viscosityScale_) viscosityScale_ = 4.0f * dx * dx / dt();
  return *viscosityScale_;
}

// --- Sample intake --------------------------------------------------------------------------------

void ToolSurface::appendList(TouchInputs& list, const std::shared_ptr<TouchInput>& input, double granularity) {
  appendSpaced(list, lastTouchInput_.get(), input, granularity);
}

void ToolSurface::reset(const TouchInputs& touchInputs) {
  if (touchInputs.empty()) {
    doReset(touchInputs);
    return;
  }
  const TouchInputs held = nearCanvas(touchInputs, AppManager().requiredCurrentPaint("ToolSurface.reset"));
  const double spacing = spacingOf(tool_->toolType());
  if (spacing == 0.0) {
    doReset(held);
    return;
  }
  TouchInputs spaced;
  spaced.reserve(held.size());
  for (const auto& input : held) appendList(spaced, input, spacing);
  doReset(spaced);
}

void ToolSurface::appendTouchInput(const std::shared_ptr<TouchInput>& input) {
  // Only queued: the next step's path starts from the last sample painted, which this is not yet.
  appendSpaced(touchInputs_, nullptr, input, 5.0);
}

// --- The window -----------------------------------------------------------------------------------

std::size_t ToolSurface::samplesInWindow(const TouchInputs& batch, double scale) const {
  // The band keeps MAC_BORDER free on the top-left and room for the tool's head on the far sides.
  const gpu::Size head = tool_->toolViewer()->size();
  const double limitX = static_cast<double>(MAC_WIDTH - static_cast<std::int64_t>(head.width));
  const double limitY = static_cast<double>(MAC_WIDTH - static_cast<std::int64_t>(head.height));
  std::size_t taken = 0;
  for (const auto& sample : batch) {
    const double px = sample->location().x * scale - static_cast<double>(offset_.x);
    const double py = sample->location().y * scale - static_cast<double>(offset_.y);
    if (!(MAC_BORDER < px && px < limitX && MAC_BORDER < py && py < limitY)) break;
    ++taken;
  }
  return taken;
}

std::size_t ToolSurface::samplesInNewWindow(const TouchInputs& batch, double scale) {
  if (batch.empty()) return 0;
  // The box starts at the first sample, so that sample always fits, wherever it lies (also off
  // the left or top of the view): every step of a non-empty batch takes at least one sample.
  const graphics::Point first = batch.front()->location();
  double minX = first.x * scale, maxX = minX;
  double minY = first.y * scale, maxY = minY;
  std::size_t taken = 0;
  for (const auto& sample : batch) {
    const double x = sample->location().x * scale, y = sample->location().y * scale;
    minX = std::min(minX, x), maxX = std::max(maxX, x);
    minY = std::min(minY, y), maxY = std::max(maxY, y);
    if (!(maxX - minX < MAC_REGION_WDITH && maxY - minY < MAC_REGION_WDITH)) break;
    ++taken;
  }
  return taken;
}

void ToolSurface::doReset(const TouchInputs& touchInputs) {
  // The batch may be the carried list this step replaces: then the step works on a copy of it.
  const bool isCarriedList = &touchInputs == &touchInputs_;
  const TouchInputs copy = isCarriedList ? touchInputs_ : TouchInputs{};
  const TouchInputs& batch = isCarriedList ? copy : touchInputs;
  const std::shared_ptr<TouchInput> before = lastTouchInput_;
  DrawingPaint& paint = AppManager().requiredCurrentPaint("ToolSurface.doReset");
  const double scale = cellsPerPoint("ToolSurface.doReset");

  std::size_t taken = origin_ ? samplesInWindow(batch, scale) : 0;
  if (taken == 0) {
    useSameRegion_ = false;
    taken = samplesInNewWindow(batch, scale);
    if (taken == 0) {
      setOffset({0, 0, 0});
    } else {
      std::vector<graphics::Point> points;
      points.reserve(taken);
      for (std::size_t i = 0; i < taken; ++i) points.push_back(batch[i]->location());
      placeWindow(points, batch.front()->azimuthAngle(), paint);
    }
  } else {
    useSameRegion_ = true;
  }

  touchInputData_.reset();
  touchInputData_.locations().reserve(3 * taken);
  touchInputData_.forces().reserve(taken);
  touchInputData_.altitudes().reserve(taken);
  touchInputData_.azimuths().reserve(taken);
  for (std::size_t i = 0; i < taken; ++i) {
    const TouchInput& sample = *batch[i];
    const auto [x, y] = inWindow(sample, scale);
    touchInputData_.append(x, y, 5.0f, sample);
    if (DEBUG_CFD) {
      foundation::consoleLine(foundation::describe(-std::cos(sample.azimuthAngle())) + " " +
                              foundation::describe(-std::sin(sample.azimuthAngle())));
    }
  }
  tool_->setTouchCount(tool_->touchCount() + static_cast<std::int64_t>(taken));

  touchInputs_.assign(batch.begin() + static_cast<std::ptrdiff_t>(taken), batch.end());
  if (taken > 0) lastTouchInput_ = batch[taken - 1];
  setPathStart(taken > 0 ? before.get() : nullptr, scale);

  adjustInput();
  // A new window got its offset buffer from setOffset above; a kept window keeps its buffer.
  upload(paint);
}

void ToolSurface::takeClosingStep(DrawingPaint& paint) {
  const double scale = cellsPerPoint("ToolSurface.encodeEnd");
  useSameRegion_ = origin_.has_value();
  if (!origin_) placeWindow({lastTouchInput_->location()}, lastTouchInput_->azimuthAngle(), paint);
  touchInputData_.reset();
  setPathStart(lastTouchInput_.get(), scale);
  upload(paint);
}

double ToolSurface::cellsPerPoint(const char* who) {
  // The window is measured in layer cells, and every canvas's cells are at the main canvas's scale
  // (ArtworkTextures::dataScale): the scale is the main canvas's even when a palette is painted.
  const auto& canvas = AppManager().canvas();
  if (!canvas) foundation::fatalError(std::string(who) + ": no main canvas");
  return canvas->artwork()->scale();
}

void ToolSurface::placeWindow(const std::vector<graphics::Point>& points, float azimuth, DrawingPaint& paint) {
  // Kept inside the layer as the load keeps the window, so that the samples' window-local
  // positions are measured from where the window really is.
  gpu::uint3 corner = tool_->findWorkingOffset(points, azimuth);
  if (const auto layer = paint.currentContent()) {
    const gpu::Origin inLayer = cornerInLayer(corner, *layer);
    corner = {static_cast<std::uint32_t>(inLayer.x), static_cast<std::uint32_t>(inLayer.y), 0};
  }
  setOffset(corner);
}

std::array<float, 2> ToolSurface::inWindow(const TouchInput& sample, double scale) const {
  return {static_cast<float>(sample.location().x * scale - static_cast<double>(offset_.x)),
          static_cast<float>(sample.location().y * scale - static_cast<double>(offset_.y))};
}

void ToolSurface::setPathStart(const TouchInput* start, double scale) {
  pathStartBuffer_.reset();
  if (!start) return;
  const auto [x, y] = inWindow(*start, scale);
  pathStartBuffer_ = makeFloatBuffer(std::array<float, 3>{x, y, start->force()});
}

void ToolSurface::upload(const DrawingPaint& paint) {
  countBuffer_ = makeCountBuffer(touchInputData_.count());
  locationBuffer_ = makeFloatBuffer(touchInputData_.locations());
  forceBuffer_ = makeFloatBuffer(touchInputData_.forces());
  altitudeBuffer_ = makeFloatBuffer(touchInputData_.altitudes());
  azimuthsBuffer_ = makeFloatBuffer(touchInputData_.azimuths());
  showGroundBuffer_ = makeFlagBuffer(paint.showSurface());
}

void ToolSurface::touchEnd() {
  origin_.reset();
  lastTouchInput_.reset();
  holdsTrail_ = false;
  setOffset({0, 0, 0});
}

void ToolSurface::loads() {}

void ToolSurface::adjustInput() {}

void ToolSurface::updateChange() {
  // The stroke's closing frame follows the canvas's redraw that calls this: while a window is
  // loaded its samples are still measured from that window, so its offset stays.
  if (!origin_) setOffset({0, 0, 0});
  showGroundBuffer_ = makeFlagBuffer(AppManager().requiredCurrentPaint("ToolSurface.updateChange").showSurface());
}

// --- Stroke-shape queries -------------------------------------------------------------------------

bool ToolSurface::isForwardDrawing(float rotation) {
  const std::int64_t n = touchInputData_.count();
  if (n < 2) return true;
  if (std::abs(rotation) < static_cast<float>(std::numbers::pi / 2 / 4.0)) return true;
  const auto& altitudes = touchInputData_.altitudes();
  if (altitudes[0] == static_cast<float>(std::numbers::pi / 2)) return true;
  const auto& locations = touchInputData_.locations();
  const auto last = static_cast<std::size_t>(3 * (n - 1));
  const double x0 = locations[0], y0 = locations[1];
  const double xn = locations[last], yn = locations[last + 1];
  // A stroke straight up or down the view.
  if (xn == x0 && yn != y0) return true;
  constexpr double twoPi = 2 * std::numbers::pi;
  double direction = std::atan2(yn - y0, xn - x0);
  if (direction <= 0) direction += twoPi;
  float azimuth = touchInputData_.azimuths()[0];
  if (azimuth < 0) azimuth += static_cast<float>(twoPi);
  double turn = direction - static_cast<double>(azimuth);
  if (turn < 0) turn += twoPi;
  return rotation < 0 ? turn <= std::numbers::pi : turn >= std::numbers::pi;
}

bool ToolSurface::isPickUpGesture() {
  const std::int64_t n = touchInputData_.count();
  if (n < 2) return false;
  const auto& locations = touchInputData_.locations();
  const auto& forces = touchInputData_.forces();
  double path = 0;
  float forceSum = 0;
  for (std::size_t i = 0; i < static_cast<std::size_t>(n); ++i) {
    if (i > 0) {
      path += distance({locations[3 * i], locations[3 * i + 1]}, {locations[3 * (i - 1)], locations[3 * (i - 1) + 1]});
    }
    forceSum += forces[i];
  }
  if (path / static_cast<double>(n) >= 1.8) return false;
  return forceSum / static_cast<float>(n) > 0.9f;
}

}  // namespace tessivarium
