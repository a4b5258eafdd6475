// One stroke frame of the towel, the sander, turpentine and the fluffy mop, at the None and Height
// debug modes. None of them takes a colour, and the canvas is bare: the towel and the sander walk
// their heads over it at the full cost of the walk but change no cell; turpentine and the mop mark
// every cell they meet, so their blurs work as on paint, except for the mop's stirring, which
// finds nothing to stir on a bare canvas. The mop is measured once more over wet paint in bands of
// four colours, which its hairs stir together.

#include <memory>
#include <vector>

#include "ToolFrameBenchmark.h"
#include "components/ArtworkTextures.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/sander/SanderTool.h"
#include "tools/towels/TowelTool.h"
#include "tools/turpentine/TurpentineTool.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace {

// Lays fully wet paint 26 bytes thick over the current layer, in upright bands 25 cells wide of
// four colours, and gives `tool` back.
std::shared_ptr<tessivarium::AbstractDrawingTool> onWetBands(std::shared_ptr<tessivarium::AbstractDrawingTool> tool) {
  using namespace tessivarium;
  auto& layer = *AppManager().requiredCurrentPaint("onWetBands").currentContent();
  const std::size_t width = layer.wetTexture()->width(), height = layer.wetTexture()->height();
  constexpr std::uint8_t colours[4][3] = {{200, 40, 40}, {240, 200, 40}, {40, 70, 200}, {40, 160, 70}};
  std::vector<std::uint8_t> grid(width * height * 4), wet(width * height * 4);
  for (std::size_t k = 0; k < width * height; ++k) {
    const auto& colour = colours[k % width / 25 % 4];
    std::copy(colour, colour + 3, wet.begin() + static_cast<std::ptrdiff_t>(4 * k));
    wet[4 * k + 3] = 26;
    grid[4 * k] = 252, grid[4 * k + 3] = TOOL_FLUID;
  }
  TextureUtil::loadRawData(layer.gridTexture(), grid, width, height, 1);
  TextureUtil::loadRawData(layer.wetTexture(), wet, width, height, 1);
  return tool;
}

}  // namespace

TOOL_FRAME_BENCHMARK(Towel, tessivarium::AppManager().towel());
TOOL_FRAME_BENCHMARK(Sander, tessivarium::AppManager().sander());
TOOL_FRAME_BENCHMARK(Turpentine, tessivarium::AppManager().turpentine());
TOOL_FRAME_BENCHMARK(FluffyMop, tessivarium::AppManager().fluffyMop());
TOOL_FRAME_BENCHMARK(FluffyMopOnWetPaint, onWetBands(tessivarium::AppManager().fluffyMop()));
