// The canvas's layer stack: lookups, the bodies that create, select, clean, shift, merge, delete,
// hide, restack and copy layers, and the restacking of the views after every change.

#include <algorithm>
#include <cstdlib>

#include "components/ArtworkTextures.h"
#include "components/BrushView.h"
#include "components/DrawingPaint.h"
#include "components/LayerTiming.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "utils/MetalUtil.h"

namespace tessivarium {

// --- Lookups -------------------------------------------------------------------------------------------

std::shared_ptr<Layer> DrawingPaint::findLayer(std::int64_t index) const {
  for (const auto& layer : layers_) {
    if (layer->index() == index) return layer;
  }
  return nullptr;
}

std::vector<std::shared_ptr<Layer>> DrawingPaint::getLayers() const { return {layers_.begin(), layers_.end()}; }

std::optional<std::size_t> DrawingPaint::positionOf(const Layer& layer) const {
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    if (layers_[i].get() == &layer) return i;
  }
  return std::nullopt;
}

std::shared_ptr<ArtworkTextures> DrawingPaint::own(const std::shared_ptr<Layer>& layer) const {
  auto textures = std::dynamic_pointer_cast<ArtworkTextures>(layer);
  if (!textures || !textures->isCounted() || !positionOf(*textures)) return nullptr;
  return textures;
}

bool DrawingPaint::owns(const std::shared_ptr<Layer>& layer) const { return own(layer) != nullptr; }

// --- Creation, selection, whole-canvas operations ------------------------------------------------------

void DrawingPaint::doLayerCreate() {
  layerIndex_ = static_cast<std::int64_t>(layers_.size());
  layers_.push_back(ArtworkTextures::make(*this, 0));
  const auto& view = currentContent()->metalView();
  addSubview(view);
  sendSubviewToBack(*view);
  updateLayers();
}

std::shared_ptr<ArtworkTextures> DrawingPaint::createBackground() {
  auto layer = ArtworkTextures::make(*this, -1);
  const auto& view = layer->metalView();
  layer->attachView();
  addSubview(view);
  view->setAlpha(0.5);
  sendSubviewToBack(*view);
  return layer;
}

void DrawingPaint::cleanAllLayers() {
  if (layers_.empty()) return;
  const double start = foundation::monotonicSeconds();
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  for (const auto& layer : layers_) {
    layer->encodeClean(*buffer);
    layer->attachView();
  }
  addTimingLine(*buffer, "Clean time: ", start);
  buffer->commit();
  redraw(DrawingMode::Recreated);
}

void DrawingPaint::move(std::int64_t x, std::int64_t y) {
  if (layers_.empty()) return;
  const auto& descriptor = layers_.front()->textureDataDescriptor();
  const auto width = static_cast<std::int64_t>(descriptor->width), height = static_cast<std::int64_t>(descriptor->height);
  // An offset of the layer's size or more would leave nothing to copy. Compared without taking an
  // absolute value, which the most negative offset does not have.
  if (x >= width || x <= -width || y >= height || y <= -height) return;
  const double start = foundation::monotonicSeconds();
  auto& manager = AppManager();
  auto scratch = manager.makeTexture(*descriptor);
  if (!scratch) return;  // already reported as NoMoreHeap; no layer is touched
  const gpu::Origin from{static_cast<std::size_t>(x < 0 ? -x : 0), static_cast<std::size_t>(y < 0 ? -y : 0), 0};
  const gpu::Origin to{static_cast<std::size_t>(x < 0 ? 0 : x), static_cast<std::size_t>(y < 0 ? 0 : y), 0};
  const gpu::Size size{static_cast<std::size_t>(width - std::llabs(x)), static_cast<std::size_t>(height - std::llabs(y)), 1};
  auto buffer = manager.commandQueue()->makeCommandBuffer();
  for (const auto& layer : layers_) {
    auto blit = buffer->makeBlitCommandEncoder();
    for (const auto& texture : {layer->gridTexture(), layer->wetTexture(), layer->dryTexture()}) {
      copyTexture(*blit, texture, scratch);
      blit->copy(scratch, 0, 0, from, size, texture, 0, 0, to);
    }
    layer->attachView();
    blit->endEncoding();
  }
  manager.releaseTexture(*scratch);
  addTimingLine(*buffer, "Clean time: ", start);
  buffer->commit();
  redraw(DrawingMode::Recreated);
}

void DrawingPaint::doLayerGoUp() {
  if (layers_.empty()) return;
  layerIndex_ = std::min(layerIndex_ + 1, static_cast<std::int64_t>(layers_.size()));
  updateLayers();
}

void DrawingPaint::doLayerGoDown() {
  if (layers_.empty()) return;
  layerIndex_ = std::max<std::int64_t>(layerIndex_ - 1, 0);
  updateLayers();
}

// --- Stack operations ------------------------------------------------------------------------------------

void DrawingPaint::doLayerMerges(const std::vector<std::shared_ptr<Layer>>& layers) {
  std::shared_ptr<ArtworkTextures> target;
  std::vector<std::shared_ptr<ArtworkTextures>> merged;
  // The back-most named layer is the target; the others follow in stack order, whatever the order
  // of the list. Layers that are not in the stack are ignored.
  for (const auto& layer : layers_) {
    const bool named = std::any_of(layers.begin(), layers.end(), [&](const auto& l) { return l.get() == layer.get(); });
    if (!named) continue;
    if (!target) {
      target = layer;
    } else {
      merged.push_back(layer);
    }
  }
  if (!target || merged.empty()) return;
  target->merge(merged);
  for (auto it = merged.rbegin(); it != merged.rend(); ++it) doLayerDelete(*it, true);
  layerIndex_ = target->index();
  updateLayers();
}

void DrawingPaint::doLayerDelete(const std::shared_ptr<Layer>& layer, bool update) {
  if (layer) {
    if (const auto position = positionOf(*layer)) {
      layers_[*position]->cleanResources();
      layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(*position));
    }
  }
  if (update) updateLayers();
}

void DrawingPaint::doLayerHidden(const std::shared_ptr<Layer>& layer, bool isHidden) {
  auto target = layer ? std::dynamic_pointer_cast<ArtworkTextures>(layer) : currentContent();
  if (!target) return;
  target->setIsHidden(isHidden);
  updateLayers();
}

void DrawingPaint::doLayerClean(const std::shared_ptr<Layer>& layer) {
  if (auto target = std::dynamic_pointer_cast<ArtworkTextures>(layer)) target->clean(SublayerType::both);
}

void DrawingPaint::doLayerMoveDown(const std::shared_ptr<Layer>& layer) {
  if (layer) {
    if (const auto position = positionOf(*layer)) {
      auto moved = layers_[*position];
      layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(*position));
      const std::size_t to = std::min(*position + 1, layers_.size());
      layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
      layerIndex_ = static_cast<std::int64_t>(to);
    }
  }
  updateLayers();
}

void DrawingPaint::doLayerMoveUp(const std::shared_ptr<Layer>& layer) {
  if (layer) {
    if (const auto position = positionOf(*layer)) {
      auto moved = layers_[*position];
      layers_.erase(layers_.begin() + static_cast<std::ptrdiff_t>(*position));
      const std::size_t to = *position == 0 ? 0 : *position - 1;
      layers_.insert(layers_.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
      layerIndex_ = static_cast<std::int64_t>(to);
    }
  }
  updateLayers();
}

void DrawingPaint::doLayerCopyFrom(const std::shared_ptr<Layer>& layer, const std::shared_ptr<Layer>& from) {
  auto target = std::dynamic_pointer_cast<ArtworkTextures>(layer);
  auto source = std::dynamic_pointer_cast<ArtworkTextures>(from);
  if (!target || !source || target == source) return;
  auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  auto blit = buffer->makeBlitCommandEncoder();
  copyTexture(*blit, source->gridTexture(), target->gridTexture());
  copyTexture(*blit, source->wetTexture(), target->wetTexture());
  copyTexture(*blit, source->dryTexture(), target->dryTexture());
  blit->endEncoding();
  buffer->commit();
}

void DrawingPaint::insertLayer(const std::shared_ptr<ArtworkTextures>& layer, std::int64_t position) {
  if (!layer) return;
  // The history puts layers back in the reverse order it took them, but the stack may have changed
  // outside it (a host's direct body call, new storage data): never insert beyond the stack.
  const auto at = std::clamp<std::int64_t>(position, 0, static_cast<std::int64_t>(layers_.size()));
  layers_.insert(layers_.begin() + at, layer);
  addSubview(layer->metalView());
}

void DrawingPaint::updateLayers() {
  bool current = false;
  for (std::size_t i = 0; i < layers_.size(); ++i) {
    layers_[i]->setIndex(static_cast<std::int64_t>(i));
    current = current || static_cast<std::int64_t>(i) == layerIndex_;
  }
  if (!current) layerIndex_ = static_cast<std::int64_t>(layers_.size()) - 1;
  for (auto it = layers_.rbegin(); it != layers_.rend(); ++it) {
    const auto& view = (*it)->metalView();
    view->setDelegate(nullptr);
    sendSubviewToBack(*view);
    const bool inFront = (*it)->index() > layerIndex_;
    view->setHidden(layerMode_ == LayerMode::Stack ? inFront || (*it)->isHidden() : (*it)->index() != layerIndex_);
  }
  if (const auto layer = currentContent()) layer->attachView();
  if (background_) sendSubviewToBack(*background_->metalView());
  if (backView_) sendSubviewToBack(*backView_);
  if (frontView_) bringSubviewToFront(*frontView_);
  if (brushView_) bringSubviewToFront(*brushView_);
  if (layerChangeDelegate_) layerChangeDelegate_->updateLayers();
  if (isStarted()) redraw(DrawingMode::Recreated);
}

}  // namespace tessivarium
