// The towel and the fluffy mop drawn across two wet colour bands, red meeting blue at x = 150:
// the towel wipes along its whole path until its cloth is full, and a clean empties it; the mop
// blends the colours where the bands meet and leaves the paint away from there as it was. What
// each moves is accounted for exactly, a masked strip is never changed, and the bytes are the same
// on one worker thread as on eight.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <numeric>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "gpu/Parallel.h"
#include "tools/ToolModel.h"
#include "tools/fluffyMop/FluffyMopTool.h"
#include "tools/towels/TowelTool.h"
#include "utils/TextureUtil.h"

namespace tessivarium {
namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::StrokeCanvas;

constexpr std::size_t kW = StrokeCanvas::kWidth, kH = StrokeCanvas::kHeight;
constexpr std::size_t kBoundary = 150;
// Every paint cell of the towel's cloth holds this many bytes, its lowest one as many fewer as the
// red byte of the body cell above it says (kernels/README.md, "The towel").
constexpr long kSoakBytes = 32;

// The paint a towel's head has soaked up.
long soakedInto(AbstractDrawingTool& towel) {
  auto& model = *towel.toolViewer()->toolModel();
  const Bytes head = TextureUtil::toRawData(*model.colorTexture0());
  const auto w = static_cast<std::size_t>(model.width()), h = static_cast<std::size_t>(model.height()),
             d = static_cast<std::size_t>(model.depth());
  const auto cell = [&](std::size_t x, std::size_t y, std::size_t z) { return &head[((z * h + y) * w + x) * 4]; };
  long soaked = 0;
  for (std::size_t y = 0; y < h; ++y)
    for (std::size_t x = 0; x < w; ++x) {
      std::size_t body = 0;
      while (body < d && cell(x, y, body)[3] != 255) ++body;
      long paint = 0;
      for (std::size_t z = body; z-- > 0 && cell(x, y, z)[3] != 0;) ++paint;
      if (paint > 0) soaked += paint * kSoakBytes - cell(x, y, body)[0];
    }
  return soaked;
}

// The wet texel of cell (x, y) in a layer's bytes (StrokeCanvas::layerBytes).
const std::uint8_t* wet(const Bytes& layer, std::size_t x, std::size_t y) { return &layer[(kW * kH + y * kW + x) * 4]; }

// A small canvas with the bands laid, and the layer's bytes taken at will.
class TowelAndMopStrokes : public ::testing::Test {
 protected:
  // Makes `tool` current on a fresh canvas (the first stroke on a canvas is not quite like a later
  // one) and lays the bands, red left of the boundary and blue right of it, fully wet, with a bare
  // margin. With a mask, paint reaches only where its alpha is above 0.
  void start(const std::shared_ptr<AbstractDrawingTool>& tool, std::uint8_t red, std::uint8_t blue, const Bytes& mask = {}) {
    strokes.emplace();
    if (!mask.empty()) {
      strokes->canvas->setMaskTexture(AppManager().makeTexture(kW, kH));
      TextureUtil::loadRawData(strokes->canvas->maskTexture(), mask, kW, kH, 1);
    }
    strokes->use(tool);
    strokes->layWet(20, 20, kBoundary, 190, {200, 40, 40, red});
    strokes->layWet(kBoundary, 20, 280, 190, {40, 70, 200, blue});
    layer = strokes->layerBytes();
  }
  // Within the bands, from one to the other across the boundary; `layer` then holds the result.
  void strokeAcross() {
    strokes->drag({40, 80}, {260, 80}, 56);
    layer = strokes->layerBytes();
  }
  testsupport::ConsoleCapture console;
  std::optional<StrokeCanvas> strokes;
  Bytes layer;
};

// Columns from x0 to x1 whose thinnest cell holds at most half the bands' thickness.
int wipedColumns(const Bytes& wetThickness, std::size_t x0, std::size_t x1, int thickness) {
  int wiped = 0;
  for (std::size_t x = x0; x < x1; ++x) {
    int thinnest = 255;
    for (std::size_t y = 20; y < 190; ++y) thinnest = std::min<int>(thinnest, wetThickness[y * kW + x]);
    wiped += 2 * thinnest <= thickness;
  }
  return wiped;
}

long sum(const Bytes& bytes) { return std::accumulate(bytes.begin(), bytes.end(), 0L); }

// Thin paint is wiped from the start of the path to its end; thick paint fills the cloth on the way.
TEST_F(TowelAndMopStrokes, TheTowelWipesAlongItsPathUntilItsClothIsFullAndACleanEmptiesIt) {
  const struct {
    std::uint8_t thickness;
    bool fills;  // before the path's end
  } cases[] = {{26, false}, {255, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int{c.thickness});
    const auto towel = std::make_shared<TowelTool>();
    start(towel, c.thickness, c.thickness);
    const Bytes clean = TextureUtil::toRawData(*towel->toolViewer()->toolModel()->colorTexture0());
    const long before = sum(strokes->wet());
    strokeAcross();
    const Bytes after = strokes->wet();
    EXPECT_EQ(before - sum(after), soakedInto(*towel)) << "what the canvas lost, the cloth holds";
    EXPECT_EQ(wipedColumns(after, 50, 90, c.thickness), 40) << "where it starts";
    EXPECT_EQ(wipedColumns(after, 210, 250, c.thickness), c.fills ? 0 : 40) << "where it ends";

    towel->clean();
    EXPECT_EQ(TextureUtil::toRawData(*towel->toolViewer()->toolModel()->colorTexture0()), clean);
  }
}

// How many cells of row y lie in the band of mixed colour across the boundary: their red, which
// falls from 200 to 40 across it, more than a tenth of the way from either.
int mixedWidth(const Bytes& layer, std::size_t y) {
  int mixed = 0;
  for (std::size_t x = kBoundary - 30; x < kBoundary + 30; ++x) {
    const int red = wet(layer, x, y)[0];
    mixed += red > 56 && red < 184;
  }
  return mixed;
}

// The red band thinner than the blue one, so that paint flows as well as mixes at the boundary.
// Before the boundary the mop sweeps paint of one colour and thickness, which keeps its bytes; past
// it the mop drags on what it stirred up there, as it works for every cell it travels.
TEST_F(TowelAndMopStrokes, TheMopBlendsTheBoundaryItCrossesAndKeepsThePaintBeforeIt) {
  start(std::make_shared<FluffyMopTool>(), 26, 40);
  const Bytes before = layer;
  strokeAcross();
  int swept = 0, blended = 0;
  for (std::size_t y = 20; y < 190; ++y) {
    if (mixedWidth(layer, y) == 0) continue;  // not reached
    ++swept;
    blended += mixedWidth(layer, y) >= 8;
  }
  EXPECT_GT(swept, 10);
  EXPECT_GE(blended * 4, swept * 3) << "the mixed band is 8 cells wide or more in most rows the mop swept";
  for (std::size_t y = 0; y < kH; ++y)
    for (std::size_t x = 0; x < kW; ++x) {
      if (x + 25 > kBoundary && y + 40 > 80 && y < 80 + 40) continue;
      ASSERT_TRUE(std::equal(wet(before, x, y), wet(before, x, y) + 4, wet(layer, x, y)))
          << "colour or thickness changed before the boundary or beside the stroke at " << x << ", " << y;
    }
  EXPECT_EQ(sum(strokes->wet()), (26L + 40) * 130 * 170);
}

// A strip beside the boundary masked, where the mop blends and the towel wipes: its cells keep
// their bytes, and a whole stroke of each tool gives the same layer and head on one thread as on
// eight.
TEST_F(TowelAndMopStrokes, EachKeepsOffAMaskedStripAndGivesTheSameBytesOnAnyThreadCount) {
  const std::size_t strip0 = kBoundary - 10, strip1 = kBoundary - 4;
  Bytes mask(kW * kH * 4, 255);
  for (std::size_t y = 0; y < kH; ++y)
    for (std::size_t x = strip0; x < strip1; ++x) mask[(y * kW + x) * 4 + 3] = 0;
  const std::function<std::shared_ptr<AbstractDrawingTool>()> tools[] = {[] { return std::make_shared<TowelTool>(); },
                                                                         [] { return std::make_shared<FluffyMopTool>(); }};
  for (const auto& make : tools) {
    std::vector<Bytes> results;
    for (std::size_t threads : {1, 8}) {
      gpu::setWorkerThreadCount(threads);
      const auto tool = make();
      start(tool, 40, 40, mask);
      const Bytes before = layer;
      strokeAcross();
      for (std::size_t y = 0; y < kH; ++y) {
        for (std::size_t t = 0; t < 3; ++t) {  // grid, wet, dry
          const std::size_t row = (t * kH + y) * kW * 4;
          ASSERT_TRUE(std::equal(&before[row + strip0 * 4], &before[row + strip1 * 4], &layer[row + strip0 * 4])) << y;
        }
      }
      EXPECT_NE(layer, before);
      const Bytes head = TextureUtil::toRawData(*tool->toolViewer()->toolModel()->colorTexture0());
      layer.insert(layer.end(), head.begin(), head.end());
      results.push_back(layer);
    }
    gpu::setWorkerThreadCount(0);
    EXPECT_EQ(results[0], results[1]);
  }
}

}  // namespace
}  // namespace tessivarium
