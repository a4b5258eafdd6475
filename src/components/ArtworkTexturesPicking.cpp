// A layer's answer to the colour picker: the paint of one cell, read back from the GPU a texel
// column at a time (never a whole texture).

#include <cmath>
#include <vector>

#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Fatal.h"
#include "gpu/BlitCommandEncoder.h"
#include "gpu/Buffer.h"
#include "gpu/CommandBuffer.h"
#include "gpu/CommandQueue.h"
#include "gpu/Device.h"
#include "gpu/Texture.h"
#include "tools/ApplicationManager.h"
#include "utils/KernelInterface.h"
#include "utils/WetnessUtil.h"

namespace tessivarium {
namespace {

// Copies the texel column of `size` at `origin` into `buffer` (4 bytes per row and per image) and
// waits for it; returns the buffer's bytes.
std::vector<std::uint8_t> readBack(const std::shared_ptr<gpu::Texture>& texture, gpu::Origin origin, gpu::Size size,
                                   const std::shared_ptr<gpu::Buffer>& buffer) {
  const auto commands = AppManager().commandQueue()->makeCommandBuffer();
  const auto blit = commands->makeBlitCommandEncoder();
  blit->copy(texture, 0, 0, origin, size, buffer, 0, 4, 4);
  blit->endEncoding();
  commands->commit();
  commands->waitUntilCompleted();
  return {buffer->contents(), buffer->contents() + buffer->length()};
}

double channel(std::uint8_t byte) { return static_cast<double>(byte) / 255.0; }

}  // namespace

std::optional<graphics::Color> ArtworkTextures::pickColor(DrawingPaint&, double x, double y) {
  auto& manager = AppManager();
  if (!manager.canvas()) foundation::fatalError("ArtworkTextures.pickColor: the application manager has no canvas");
  const double scale = manager.canvas()->artwork()->scale();
  // Truncated toward zero, so -0.5 is cell 0; what is not a number is no cell.
  const double fx = std::trunc(x * scale), fy = std::trunc(y * scale);
  const auto& grid = gridTexture();
  if (!(fx >= 0 && fy >= 0 && fx < static_cast<double>(grid->width()) && fy < static_cast<double>(grid->height())))
    return std::nullopt;
  const gpu::Origin cell{static_cast<std::size_t>(fx), static_cast<std::size_t>(fy), 0};
  const std::size_t depth = grid->depth();
  const auto buffer = manager.device()->makeBuffer(depth * 4);

  const auto column = readBack(grid, cell, {1, 1, depth}, buffer);
  double dryWetness = 0;
  std::optional<double> wetness;
  for (std::size_t i = 0; i < depth; ++i) {
    const std::uint8_t* texel = column.data() + i * 4;
    if (dryWetness == 0) dryWetness = WetnessUtil::wetnessNormalized(texel[GRID_DRY_WETNESS]);
    if (texel[GRID_TYPE] == TOOL_FLUID) {
      wetness = WetnessUtil::wetnessNormalized(texel[GRID_WETNESS]);
      break;
    }
  }

  if (wetness) {
    const auto wet = readBack(wetTexture(), cell, {1, 1, depth}, buffer);
    return graphics::Color::fromRGBA(channel(wet[0]), channel(wet[1]), channel(wet[2]), *wetness);
  }
  const auto dry = readBack(dryTexture(), cell, {1, 1, 1}, buffer);
  if (dry[0] == 0 && dry[1] == 0 && dry[2] == 0 && dry[3] == 0 && dryWetness == 0) return std::nullopt;
  return graphics::Color::fromRGBA(channel(dry[0]), channel(dry[1]), channel(dry[2]), dryWetness);
}

}  // namespace tessivarium
