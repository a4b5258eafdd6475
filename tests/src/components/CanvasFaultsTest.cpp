// Layer and canvas behaviour at the edges the other tests leave alone: thickness that saturates
// when wet paint settles, and an import that hands its (absent) callback to the current layer.

#include <gtest/gtest.h>

#include "LayerTestSupport.h"
#include "graphics/Bitmap.h"
#include "graphics/Image.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

using namespace layertest;

std::shared_ptr<graphics::Image> pictureOf(std::size_t w, std::size_t h) {
  std::vector<std::uint8_t> rgba(w * h * 4, 255);
  for (std::size_t i = 0; i < rgba.size(); i += 4) rgba[i] = static_cast<std::uint8_t>(40 + i);
  return std::make_shared<graphics::Image>(graphics::Bitmap::make(w, h, std::move(rgba), graphics::AlphaMode::Straight));
}

class CanvasFaults : public ::testing::Test {
 protected:
  CanvasFaults() {
    testsupport::useFakeTool();
    canvas = testsupport::makeCanvas(7, 5);
    AppManager().setCurrentPaint(canvas);
  }
  std::shared_ptr<testsupport::TestCanvas> canvas;
};

// The settled thickness is the sum of both, held at the deepest a cell can be.
TEST_F(CanvasFaults, DryingAddsThicknessesUpToTheDeepest) {
  struct Case {
    std::uint8_t wet, dry, settled;
  };
  auto& layer = canvas->layer(0);
  const Case cases[] = {{3, 2, 5}, {180, 74, 254}, {180, 75, 255}, {180, 150, 255}, {255, 255, 255}};
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    setTexel(*layer.wetTexture(), i, 2, {200, 100, 50, c.wet});
    setTexel(*layer.dryTexture(), i, 2, {10, 20, 30, c.dry});
  }
  layer.doDry(graphics::Rect(0, 0, 7, 5));
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(texelAt(*layer.dryTexture(), i, 2)[3], cases[i].settled) << i;
  }
}

// The import gives the current layer the step's callback, and an import without one clears what
// an earlier caller left there.
TEST_F(CanvasFaults, AnImportWithoutCallbackClearsTheLayersHandler) {
  auto& layer = canvas->layer(0);
  int runs = 0;
  layer.setDrawHandler([&] { ++runs; });
  layer.importImage(pictureOf(3, 2), graphics::Point(2.6, 1.3), std::nullopt, false, nullptr);
  EXPECT_FALSE(layer.drawHandler());
  layer.importImage(pictureOf(3, 2), graphics::Point(1, 1), std::nullopt, true, [&] { runs += 10; });
  ASSERT_TRUE(layer.drawHandler());
  layer.drawHandler()();
  EXPECT_EQ(runs, 10);
}

}  // namespace
}  // namespace tessivarium
