#include "tools/DAEToolModelOverlay.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "gpu/ComputeCommandEncoder.h"
#include "gpu/Texture.h"
#include "tools/DAEToolModelPasses.h"
#include "utils/GpuRecords.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

// A rectangle's edge in whole cells, clamped to [0, limit] (a value that is not a number gives 0).
std::size_t cellEdge(double value, std::size_t limit) {
  if (std::isnan(value) || value <= 0) return 0;
  if (value >= static_cast<double>(limit)) return limit;
  return static_cast<std::size_t>(value);
}

// Threads per group along an axis of `cells`: the usual group side when it divides the cells,
// else 1, so that the grid covers the rectangle exactly and no thread reaches past it.
std::size_t groupSide(std::size_t cells, std::size_t usual) { return cells % usual == 0 ? usual : 1; }

}  // namespace

AbstractDAEToolModelOverlay::AbstractDAEToolModelOverlay(std::string shaderName, PrepareStep prepare)
    : AbstractToolEncoderShader(std::move(shaderName), std::move(prepare)) {}

void AbstractDAEToolModelOverlay::reset() {
  for (auto* texture : {&grid_, &toGrid_, &wet_, &toWet_, &dry_, &toDry_}) texture->reset();
}

void AbstractDAEToolModelOverlay::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractToolEncoderShader::fillCommandBuffer(paint, encoder);
  const std::array<std::pair<const std::shared_ptr<gpu::Texture>*, std::int64_t>, 6> bindings{{
      {&grid_, TEXTURE_GRID_READ},
      {&toGrid_, TEXTURE_GRID_WRITE},
      {&wet_, TEXTURE_WET_READ},
      {&toWet_, TEXTURE_WET_WRITE},
      {&dry_, TEXTURE_DRY_READ},
      {&toDry_, TEXTURE_DRY_WRITE},
  }};
  for (const auto& [texture, slot] : bindings) {
    if (!*texture) continue;
    encoder.setTexture(*texture, slot);
    updateThreadGroup2D(**texture);
  }
  if (!lastBound()) skipDispatch();
}

const std::shared_ptr<gpu::Texture>& AbstractDAEToolModelOverlay::lastBound() const {
  for (const auto* texture : {&toDry_, &dry_, &toWet_, &wet_, &toGrid_, &grid_}) {
    if (*texture) return *texture;
  }
  return toDry_;
}

void AbstractDAEToolModelOverlay::limitTo(const graphics::Rect& rect, gpu::ComputeCommandEncoder& encoder) {
  const std::shared_ptr<gpu::Texture>& texture = lastBound();
  if (!texture) return;
  const graphics::Rect r = rect.standardized();
  const std::size_t x0 = cellEdge(r.minX(), texture->width()), x1 = cellEdge(r.maxX(), texture->width());
  const std::size_t y0 = cellEdge(r.minY(), texture->height()), y1 = cellEdge(r.maxY(), texture->height());
  if (x1 <= x0 || y1 <= y0) {
    skipDispatch();
    return;
  }
  encoder.setBuffer(makeOffsetBuffer({static_cast<std::uint32_t>(x0), static_cast<std::uint32_t>(y0), 0}), 0,
                    BUFFER_OFFSET);
  const gpu::Size usual = *threadsPerThreadgroup();
  const gpu::Size threads{groupSide(x1 - x0, usual.width), groupSide(y1 - y0, usual.height), 1};
  setThreadsPerThreadgroup(threads);
  setThreadgroupsPerGrid(gpu::Size{(x1 - x0) / threads.width, (y1 - y0) / threads.height, 1});
}

DAEToolModelOverlayMap::DAEToolModelOverlayMap(PrepareStep prepare)
    : AbstractDAEToolModelOverlay("DAEToolModel_overlay_map", std::move(prepare)) {}

void DAEToolModelOverlayMap::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEToolModelOverlay::fillCommandBuffer(paint, encoder);
  encodeCanvasMask(paint, encoder);
}

DAEToolModelDryLayer::DAEToolModelDryLayer(PrepareStep prepare)
    : AbstractDAEToolModelOverlay("DAEToolModel_dry_layer", std::move(prepare)) {}

void DAEToolModelDryLayer::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEToolModelOverlay::fillCommandBuffer(paint, encoder);
  if (rect_) limitTo(*rect_, encoder);
}

DAEToolModelWetLayer::DAEToolModelWetLayer(PrepareStep prepare)
    : AbstractDAEToolModelOverlay("DAEToolModel_wet_layer", std::move(prepare)) {}

void DAEToolModelWetLayer::fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) {
  AbstractDAEToolModelOverlay::fillCommandBuffer(paint, encoder);
  if (wetness_) encoder.setBuffer(makeFloatBuffer(std::span<const float>(&*wetness_, 1)), 0, BUFFER_WETNESS);
  if (thickness_) encoder.setBuffer(makeFloatBuffer(std::span<const float>(&*thickness_, 1)), 0, BUFFER_THICKNESS);
  if (rect_) limitTo(*rect_, encoder);
}

}  // namespace tessivarium
