// Sharp cases for the stroke surface and the touch samples: the reuse band of a head that is not
// square, the sample a step spaces the next one from, and the write-back of a window.

#include <gtest/gtest.h>

#include "ToolSurfaceFixture.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/DefaultToolViewer.h"

namespace surfacetest {
namespace {

using ToolFaults = ToolSurfaceTest;

// A 40 x 90 head leaves a band of 73.6 < x < 256 - 40 and 73.6 < y < 256 - 90 in a loaded window.
TEST_F(ToolFaults, TheReuseBandLeavesRoomForTheHeadOnEachAxis) {
  useTool(ToolType::tube);
  auto* viewer = dynamic_cast<DefaultToolViewer*>(tool->toolViewer().get());
  ASSERT_NE(viewer, nullptr);
  viewer->setSize({40, 90, 0});
  const struct {
    double x, y;
    bool fits;
  } cases[] = {{200.5, 100.25, true}, {216.0, 100.25, false}, {100.25, 160.75, true}, {100.25, 170.5, false}};
  for (const auto& c : cases) {
    surface().setOffset({0, 0, 0});
    surface().setOrigin(gpu::Origin{0, 0, 0});
    surface().reset({at(c.x, c.y)});
    EXPECT_EQ(surface().useSameRegion(), c.fits) << c.x << ", " << c.y;
  }
}

// The next step is spaced from the last sample a step took, not its first: 403.5 to 412.5 is 9,
// one midpoint at 5-point spacing (from 400.25 it would take three).
TEST_F(ToolFaults, TheNextStepIsSpacedFromTheLastSampleTaken) {
  useTool(ToolType::filbertBrush);
  surface().reset({at(400.25, 300.5), at(403.5, 300.5)});
  surface().reset({at(412.5, 300.5)});
  const auto points = uploadedInCanvas();
  ASSERT_EQ(points.size(), 2u);
  EXPECT_NEAR(points[0].x, 408.0, 1e-4);
  EXPECT_NEAR(points[1].x, 412.5, 1e-4);
  EXPECT_EQ(tool->touchCount(), 4);
}

// A window written back returns each of its three working textures to the layer at its corner.
TEST_F(ToolFaults, AWriteBackReturnsGridWetAndDryAtTheCorner) {
  useTool(ToolType::tube);
  auto& layer = *canvas->currentContent();
  auto& working = AppManager().surfaceTextures();
  surface().setOffset({172, 192, 0});
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  surface().encodeLoads(layer, *buffer);
  gpu::commandTrace().start();
  surface().encodeSave(*canvas, *buffer);
  const auto blits = gpu::commandTrace().blits();
  gpu::commandTrace().stop();
  const std::pair<std::shared_ptr<gpu::Texture>, std::shared_ptr<gpu::Texture>> expected[] = {
      {working.gridTexture0(), layer.gridTexture()},
      {working.wetTexture0(), layer.wetTexture()},
      {working.dryTexture0(), layer.dryTexture()}};
  ASSERT_EQ(blits.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(blits[i].sourceTexture, expected[i].first) << i;
    EXPECT_EQ(blits[i].destinationTexture, expected[i].second) << i;
    EXPECT_EQ(blits[i].destinationOrigin, (gpu::Origin{172, 192, 0})) << i;
  }
}

}  // namespace
}  // namespace surfacetest
