#include "commands/DrawingArtworkDrawingOperation.h"

#include <cmath>
#include <string>

#include "Artwork.h"
#include "commands/CommandManager.h"
#include "commands/RegionClustering.h"
#include "components/ArtworkData.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Console.h"
#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {
namespace {

std::shared_ptr<DrawingPaint> requiredPaint(const std::shared_ptr<DrawingPaint>& paint, const char* what) {
  if (!paint) foundation::fatalError(std::string("DrawingArtworkDrawingOperation.") + what + ": the canvas is gone");
  return paint;
}

}  // namespace

DrawingArtworkDrawingOperation::DrawingArtworkDrawingOperation(std::shared_ptr<Layer> layer)
    : AbstractArtworkDrawingOperation(std::move(layer)) {
  setName("Painting");
}

DrawingArtworkDrawingOperation::DrawingArtworkDrawingOperation(const std::shared_ptr<DrawingPaint>& paint,
                                                               std::shared_ptr<Layer> layer)
    : AbstractArtworkDrawingOperation(paint, std::move(layer)) {
  setName("Painting");
}

std::shared_ptr<ArtworkTextures> DrawingArtworkDrawingOperation::textures() const {
  auto textures = std::dynamic_pointer_cast<ArtworkTextures>(layer());
  if (!textures) foundation::fatalError("DrawingArtworkDrawingOperation: the step's layer is not an ArtworkTextures");
  return textures;
}

std::vector<graphics::Rect> DrawingArtworkDrawingOperation::regionsInLayer() const {
  const auto& descriptor = *textures()->textureDataDescriptor();
  const graphics::Rect extent(0, 0, static_cast<double>(descriptor.width), static_cast<double>(descriptor.height));
  std::vector<graphics::Rect> regions;
  for (const graphics::Rect& rect : rects_) {
    const graphics::Rect inside = rect.intersection(extent);
    // A snapshot is whole texels: what truncates to nothing has nothing to keep.
    if (inside.isEmpty() || std::trunc(inside.width()) < 1 || std::trunc(inside.height()) < 1) continue;
    regions.push_back(inside);
  }
  return regions;
}

void DrawingArtworkDrawingOperation::save(const ArtworkData& before) {
  operations_.emplace();
  const std::vector<graphics::Rect> regions = regionsInLayer();
  RegionClustering clustering(regions, [&](const graphics::Rect& rect) {
    createArtworkData(rect, before);
    return !noMemory_;
  });
  const bool made = clustering.run();
  if (regions.size() <= RegionClustering::kMaxGroupedRects) done_ = clustering.done();
  if (!made) {
    release();
    return;
  }
  std::string line = "Undo Save time " + std::to_string(regions.size()) + ": ";
  for (std::size_t i = 0; i < clustering.intervals().size(); ++i) {
    if (i > 0) line += " ";
    line += foundation::describe(clustering.intervals()[i]);
  }
  foundation::consoleLine(line);
  rects_.clear();
}

void DrawingArtworkDrawingOperation::createArtworkData(const graphics::Rect& rect, const ArtworkData& before) {
  const auto canvas = requiredPaint(paint(), "save");
  auto descriptor = gpu::TextureDescriptor::texture2D(DefaultPixelFormat, static_cast<std::size_t>(rect.width()),
                                                      static_cast<std::size_t>(rect.height()), false);
  auto snapshot = canvas->commandManager()->newArtworkData(canvas, layer(), descriptor);
  if (!snapshot) {
    noMemory_ = true;
    return;
  }
  snapshot->setOrigin(gpu::Origin{static_cast<std::size_t>(rect.minX()), static_cast<std::size_t>(rect.minY()), 0});
  snapshot->copyFrom(before);
  operations_->push_back(std::move(snapshot));
}

void DrawingArtworkDrawingOperation::execute() {
  if (!operations_) return;
  const auto canvas = requiredPaint(paint(), "execute");
  // The exchange needs the layer as it is now; without it the snapshots must stay as they are.
  if (!canvas->saveBefore(layer())) {
    foundation::consoleLine("Painting: the layer cannot be copied; nothing is exchanged");
    return;
  }
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeBlitCommandEncoder();
  for (const auto& snapshot : *operations_) snapshot->load(encoder.get());
  encoder->endEncoding();
  buffer->commit();
  const ArtworkData& before = *canvas->before();
  for (const auto& snapshot : *operations_) snapshot->copyFrom(before);
}

void DrawingArtworkDrawingOperation::undo() {
  AbstractArtworkDrawingOperation::undo();
  execute();
}

void DrawingArtworkDrawingOperation::redo() {
  AbstractArtworkDrawingOperation::redo();
  execute();
}

std::int64_t DrawingArtworkDrawingOperation::heldBytes() const {
  std::int64_t bytes = 0;
  if (operations_) {
    for (const auto& snapshot : *operations_) bytes += snapshot->countedBytes();
  }
  return bytes;
}

void DrawingArtworkDrawingOperation::release() {
  AbstractArtworkDrawingOperation::release();
  if (operations_) {
    for (const auto& snapshot : *operations_) snapshot->release();
    operations_.reset();
  }
  rects_.clear();
  done_.reset();
}

}  // namespace tessivarium
