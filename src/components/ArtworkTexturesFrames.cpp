// A layer's frames: what its view's draw callback does in each drawing mode, and the rebuild of
// its picture from its paint data, working region by working region (several composed at once).
//
// The rebuild tiles over the data textures (cells), not over the picture (pixels): the region
// loads read the data textures and the composition places each region at its cells divided by
// the layers' data scale, so at any scale every load and every placed picture stays inside the
// textures it touches. Each region writes only the pixels it composes exactly as one composition
// of the whole layer would, and the step between regions is chosen so that those meet: the
// rebuilt picture has no seams. Regions that write no pixel in common are composed at the same time,
// each in a working set of its own (RegionWorkingSets), as independent command buffers.

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "components/LayerTiming.h"
#include "foundation/Console.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/GaussianBlur.h"
#include "gpu/Parallel.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/RegionWorkingSets.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolSurface.h"
#include "utils/CoreImageUtil.h"

namespace tessivarium {
namespace {

// The region corners along one side of `side` cells for regions of `region` cells `step` apart:
// round(side / step) + 1 corners, both ends included, the division in single precision; corners
// past the last whole region are clamped to it, and a side shorter than a region has every corner
// at 0.
std::vector<std::size_t> cornersAt(std::size_t side, std::size_t region, std::size_t step) {
  const auto tiles = static_cast<std::size_t>(static_cast<float>(side) / static_cast<float>(step) + 0.5f);
  const std::size_t last = side > region ? side - region : 0;
  std::vector<std::size_t> corners;
  corners.reserve(tiles + 1);
  for (std::size_t i = 0; i <= tiles; ++i) corners.push_back(std::min(i * step, last));
  return corners;
}

// The region corners along one side: regions step by region - 2 cells (each leaves out its
// one-cell border) where their exact pixels still meet, which they do at scale 1; elsewhere by
// region - 3 cells, at which they meet at every scale (see CoreImageUtil).
std::vector<std::size_t> regionCorners(std::size_t side, std::size_t region, double scale) {
  auto corners = cornersAt(side, region, region - 2);
  for (std::size_t i = 1; i < corners.size(); ++i) {
    const auto before = CoreImageUtil::regionPixels(corners[i - 1], region, side, scale);
    const auto next = CoreImageUtil::regionPixels(corners[i], region, side, scale);
    if (next.first > before.end) return cornersAt(side, region, region - 3);
  }
  return corners;
}

// The most regions a rebuild composes at once.
constexpr std::size_t kRegionsAtOnce = 8;

// A working region of a rebuild: its first cell and the pixels it writes.
struct RebuildRegion {
  std::size_t x, y;
  CoreImageUtil::PixelSpan columns, rows;
};

bool overlap(const CoreImageUtil::PixelSpan& a, const CoreImageUtil::PixelSpan& b) {
  return a.first < b.end && b.first < a.end;
}

// Whether the two regions write a pixel in common.
bool sharePixels(const RebuildRegion& a, const RebuildRegion& b) { return overlap(a.columns, b.columns) && overlap(a.rows, b.rows); }

// Puts a working set in the manager's place while one region is encoded, and the manager's own
// back after (also when the encoding stops).
class WorkingSetInPlace {
 public:
  explicit WorkingSetInPlace(std::shared_ptr<SurfaceWorkingTextures> set)
      : own_(AppManager().sharedSurfaceTextures()) {
    AppManager().setSurfaceTextures(std::move(set));
  }
  ~WorkingSetInPlace() { AppManager().setSurfaceTextures(own_); }
  WorkingSetInPlace(const WorkingSetInPlace&) = delete;
  WorkingSetInPlace& operator=(const WorkingSetInPlace&) = delete;

 private:
  std::shared_ptr<SurfaceWorkingTextures> own_;
};

// Loads and composes the regions into the layer's picture, each on its own command buffer, in their
// order. Regions that write no pixel in common are composed at once, each in its own working set,
// in runs of consecutive regions: a region that shares pixels with one of its run starts the next
// run, so each pixel still ends as the last region to write it leaves it. Each region is encoded as
// one at a time would be; the last of a run (and so the last of all) in the manager's own set,
// which therefore holds the last region afterwards.
void composeRegions(ArtworkTextures& layer, ToolSurface& surface, const std::vector<RebuildRegion>& regions) {
  auto& manager = AppManager();
  const auto& queue = manager.commandQueue();
  const auto sets = manager.regionWorkingSets().sets(std::min(kRegionsAtOnce, gpu::workerThreadCount()));
  for (std::size_t first = 0; first < regions.size();) {
    std::size_t end = first + 1;
    while (end < regions.size() && end - first < sets.size() &&
           std::none_of(regions.begin() + static_cast<std::ptrdiff_t>(first),
                        regions.begin() + static_cast<std::ptrdiff_t>(end),
                        [&](const RebuildRegion& r) { return sharePixels(r, regions[end]); }))
      ++end;
    std::vector<std::shared_ptr<gpu::CommandBuffer>> buffers;
    for (std::size_t i = first; i < end; ++i) {
      const RebuildRegion& r = regions[i];
      const WorkingSetInPlace inPlace(sets[end - 1 - i]);
      const auto buffer = queue->makeCommandBuffer();
      surface.setOffset({static_cast<std::uint32_t>(r.x), static_cast<std::uint32_t>(r.y), 0});
      surface.setOrigin(gpu::Origin{r.x, r.y, 0});
      surface.encodeLoads(layer, *buffer);
      CoreImageUtil::render(layer.paint(), layer.paintingTexture(), buffer, static_cast<double>(r.x),
                            static_cast<double>(r.y));
      buffers.push_back(buffer);
    }
    gpu::CommandBuffer::commitTogether(buffers);
    first = end;
  }
}

// Hands the layer's draw handler to `buffer`, to run once its work has completed.
void attachDrawHandler(ArtworkTextures& layer, gpu::CommandBuffer& buffer) {
  auto handler = layer.drawHandler();
  if (!handler) return;
  layer.setDrawHandler(nullptr);
  buffer.addCompletedHandler([handler = std::move(handler)](gpu::CommandBuffer&) { handler(); });
}

void pauseUnlessDrawing(ArtworkTextures& layer) { layer.metalView()->setPaused(!layer.isDrawing()); }

void drawRefresh(ArtworkTextures& layer, ui::GPUView& view) {
  const auto drawable = view.currentDrawable();
  if (!drawable) {
    // The mode stays, so the next frame tries again.
    foundation::consoleLine("currentDrawable returned nil");
    return;
  }
  auto& manager = AppManager();
  const auto buffer = manager.commandQueue()->makeCommandBuffer();
  manager.blur()->encode(*buffer, layer.paintingTexture(), drawable->texture());
  attachDrawHandler(layer, *buffer);
  buffer->present(drawable);
  buffer->commit();
  layer.setDrawingMode(DrawingMode::Normal);
  pauseUnlessDrawing(layer);
}

void drawRecreated(ArtworkTextures& layer) {
  // The background's picture is composed with the background shown, on the current canvas only.
  const auto& current = AppManager().currentPaint();
  const bool background = current && current->background().get() == &layer;
  if (background) current->setShowBackground(true);
  // Without the working textures the mode stays: the next frame asked of the layer tries again.
  if (layer.recreatedDraw(true)) layer.setDrawingMode(DrawingMode::Normal);
  pauseUnlessDrawing(layer);
  if (background) current->setShowBackground(false);
}

void drawStroke(ArtworkTextures& layer) {
  DrawingPaint& paint = layer.paint();
  const bool ending = layer.drawingMode() == DrawingMode::End;
  if (layer.index() == paint.layerIndex()) {
    // Taken before the call: the frame's handler may run, and set a new one, before it returns.
    auto handler = layer.drawHandler();
    layer.setDrawHandler(nullptr);
    paint.drawingTool()->interactiveDraw(paint, std::move(handler));
  }
  if (ending) {
    paint.drawingTool()->handleEnd(paint);
    pauseUnlessDrawing(layer);
    // Unpauses the view: one Normal frame follows, which pauses it unless a stroke is on.
    layer.setDrawingMode(DrawingMode::Normal);
  } else {
    pauseUnlessDrawing(layer);
  }
}

}  // namespace

void ArtworkTextures::draw(ui::GPUView& view) {
  if (!paint_->isStarted()) {
    foundation::consoleLine("Shading Image missing.");
    return;
  }
  // A canvas whose layers could not be made has nothing to compose.
  if (paint_->layers().empty()) return;
  switch (drawingMode_) {
    case DrawingMode::Refresh:
      drawRefresh(*this, view);
      break;
    case DrawingMode::Recreated:
      drawRecreated(*this);
      break;
    case DrawingMode::Normal:
    case DrawingMode::End:
      drawStroke(*this);
      break;
  }
}

bool ArtworkTextures::recreatedDraw(bool display) {
  auto& manager = AppManager();
  // Without the working textures nothing can be composed; the failed make has told the host that
  // the memory is missing.
  if (!manager.surfaceTextures().makeAll()) return false;
  const auto drawable = metalView_->currentDrawable();
  if (!drawable) {
    foundation::consoleLine("currentDrawable returned nil");
    return true;
  }
  const auto& region = manager.surfaceTextures().gridTexture0();
  ToolSurface& surface = *paint_->drawingTool()->toolSurface();
  // A stroke's window is about to be overwritten region by region: its paint goes back first.
  surface.saveWindow();
  const double start = foundation::monotonicSeconds();
  const auto& queue = manager.commandQueue();
  const auto& picture = paintingTexture();
  const auto& data = gridTexture();
  const double scale = dataScale(*paint_);
  std::vector<RebuildRegion> regions;
  const auto columns = regionCorners(data->width(), region->width(), scale);
  for (const std::size_t y : regionCorners(data->height(), region->height(), scale)) {
    for (const std::size_t x : columns) {
      regions.push_back({x, y, CoreImageUtil::regionPixels(x, region->width(), data->width(), scale),
                         CoreImageUtil::regionPixels(y, region->height(), data->height(), scale)});
    }
  }
  composeRegions(*this, surface, regions);
  // The working textures hold the last region now: nothing may write them back into a layer.
  surface.setOrigin(std::nullopt);

  const auto buffer = queue->makeCommandBuffer();
  manager.blur()->encode(*buffer, picture, drawable->texture());
  addTimingLine(*buffer, "Execution time: ", start);
  attachDrawHandler(*this, *buffer);
  if (display) buffer->present(drawable);
  buffer->commit();
  return true;
}

}  // namespace tessivarium
