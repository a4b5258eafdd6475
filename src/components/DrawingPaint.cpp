#include "components/DrawingPaint.h"

#include "foundation/Fatal.h"
#include "imaging/Context.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

// The canvas view is as large as its artwork, in points.
graphics::Rect frameOf(const std::shared_ptr<Artwork>& artwork) {
  if (!artwork) foundation::fatalError("A canvas needs an artwork");
  return graphics::Rect(0, 0, static_cast<double>(artwork->width()), static_cast<double>(artwork->height()));
}

}  // namespace

DrawingPaint::DrawingPaint(std::uint64_t paintId, std::shared_ptr<Artwork> artwork, bool supportCommand)
    : ui::View(frameOf(artwork)),
      paintId_(paintId),
      artwork_(std::move(artwork)),
      supportCommand_(supportCommand) {}

DrawingPaint::~DrawingPaint() = default;

void DrawingPaint::loads() { foundation::fatalError("DrawingPaint.loads: not built yet"); }

void DrawingPaint::cleanResources() { foundation::fatalError("DrawingPaint.cleanResources: not built yet"); }

void DrawingPaint::enabledCurrentTool(bool force) {
  auto& manager = AppManager();
  if (manager.currentPaint().get() != this) force = true;
  manager.setCurrentPaint(shared_from_this());
  auto tool = std::dynamic_pointer_cast<AbstractDrawingTool>(manager.currentTool());
  if (!tool) foundation::fatalError("The current tool is not an AbstractDrawingTool");
  tool->handleEnabled(force);
}

// --- What the picture composition and the region snapshots read -----------------------------------

const std::vector<std::shared_ptr<ArtworkTextures>>& DrawingPaint::layers() const {
  foundation::fatalError("DrawingPaint.layers: not built yet");
}

std::shared_ptr<ArtworkTextures> DrawingPaint::currentContent() {
  foundation::fatalError("DrawingPaint.currentContent: not built yet");
}

void DrawingPaint::setShadingImage(imaging::ImagePtr) {
  foundation::fatalError("DrawingPaint.shadingImage: not built yet");
}

const std::shared_ptr<imaging::Context>& DrawingPaint::ciContext() {
  if (!ciContext_) ciContext_ = imaging::Context::make(AppManager().device());
  return ciContext_;
}

// --- end of the composition's members ---------------------------------------------------------

// --- What the texture passes read -----------------------------------------------------------------

std::shared_ptr<AbstractDrawingTool> DrawingPaint::drawingTool() const {
  auto tool = std::dynamic_pointer_cast<AbstractDrawingTool>(AppManager().currentTool());
  if (!tool) foundation::fatalError("The current tool is not an AbstractDrawingTool");
  return tool;
}

// --- end of the texture passes' members -----------------------------------------------------

}  // namespace tessivarium
