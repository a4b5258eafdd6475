// The mask step under a tool without a head (the round brush, the drop tools): a stroke of a
// headless paint pass on a masked canvas completes and keeps the masked cells as they were.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "EnginePassesFixture.h"
#include "gpu/Gpu.h"
#include "gpu/KernelRuntime.h"
#include "kernels/PaintModel.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/EncodersProvider.h"
#include "tools/TextureReset.h"

namespace enginetest {
namespace {

// A headless paint pass, as the round brush's and the drop tools' are: it lays 40 bytes of wet red
// on the window's cells [2, 10) x [2, 10), into grid1 and wet1 with the step's mark.
bool stamped(std::size_t x, std::size_t y) { return x >= 2 && x < 10 && y >= 2 && y < 10; }

void headlessStamp(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid1 = dispatch.texels(TEXTURE_GRID_WRITE), wet1 = dispatch.texels(TEXTURE_WET_WRITE);
  gpu::forEachThread(dispatch, grid1, [=](gpu::uint3 p) {
    if (!stamped(p.x, p.y)) return;
    kernels::store(grid1, kernels::Texel{kernels::kFullWetness, 0, kernels::kStrokeMark, TOOL_FLUID}, p.x, p.y);
    kernels::store(wet1, kernels::Texel{255, 0, 0, 40}, p.x, p.y);
  });
}

class HeadlessStamp final : public AbstractToolEncoderShader {
 public:
  HeadlessStamp() : AbstractToolEncoderShader("test_headless_stamp") {}
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override {
    paint.drawingTool()->toolSurface()->encodeTextures(paint, encoder);
    updateThreadGroup2D(*AppManager().surfaceTextures().gridTexture0());
  }
};

// The step of a headless tool, as the round brush's: reset, the stamp, the overlay map, the blur
// and the mask, its prepare step pointing the shared passes at the working textures and making the
// mask forget the record another tool left on it.
class HeadlessPainting final : public CompositeEncoderUnit {
 public:
  HeadlessPainting()
      : CompositeEncoderUnit([](DrawingPaint&, gpu::CommandBuffer&) {
          pointStepPassesAtWorkingTextures();
          DAEEncoders().getMasker()->forgetDescriptor();
        }) {
    setEncoders({EncodersProvider().getTextureReset2D(), std::make_shared<HeadlessStamp>(),
                 DAEEncoders().getTextureOverlayMap(), DAEEncoders().getTextureBlur(ToolType::roundBrush),
                 DAEEncoders().getMasker()});
  }
};

using DAEMasker = EngineTest;

// The stamp lays paint on both sides of the mask's edge (x = 6), over old wet paint: the masked
// cells keep every byte they held, the others take the new paint, and the mask pass binds nothing
// of a head.
TEST_P(DAEMasker, AHeadlessStrokeOnAMaskedCanvasCompletesAndKeepsTheMaskedCellsAsTheyWere) {
  gpu::registerKernel("test_headless_stamp", headlessStamp);
  std::vector<std::uint8_t> clearLeft(300 * 200 * 4, 255);
  for (std::size_t i = 0; i < 300 * 200; ++i) clearLeft[i * 4 + 3] = i % 300 < 6 ? 0 : 255;
  const auto mask = AppManager().makeTexture(300, 200);
  mask->writeRegion(gpu::Region::make2D(0, 0, 300, 200), 0, clearLeft, 300 * 4);
  canvas->setMaskTexture(mask);
  auto tool = makeTool(ToolType::roundBrush);
  tool->viewer().setToolModel(nullptr);
  tool->surface().model = nullptr;
  tool->surface().step = std::make_shared<HeadlessPainting>();
  tool->setTouchInputs({std::make_shared<TouchInput>(graphics::Point(5, 5), 1.0f, 1.0f, 0.5f)});
  const std::size_t width = working().wetTexture0()->width();
  for (const auto& [texture, old] : {std::pair{working().wetTexture0(), kernels::Texel{20, 200, 90, 30}},
                                     {working().gridTexture0(), kernels::Texel{252, 0, 0, TOOL_FLUID}}}) {
    std::vector<std::uint8_t> bytes = bytesOf(*texture);
    for (std::size_t y = 0; y < 12; ++y)
      for (std::size_t x = 0; x < 12; ++x) std::memcpy(&bytes[(y * width + x) * 4], &old, 4);
    texture->writeRegion(gpu::Region::make2D(0, 0, width, texture->height()), 0, bytes, width * 4);
  }
  const auto wetBefore = bytesOf(*working().wetTexture0()), gridBefore = bytesOf(*working().gridTexture0());

  gpu::commandTrace().start();
  auto commands = buffer();
  tool->encode(*canvas, *commands);
  commands->commit();
  const auto d = gpu::commandTrace().dispatches();
  gpu::commandTrace().stop();
  gpu::unregisterKernel("test_headless_stamp");

  ASSERT_EQ(d.back().kernelName, "DAEToolModel_mask");
  EXPECT_EQ(d.back().textures.count(TEXTURE_TOOL_READ) + d.back().textures.count(TEXTURE_TOOL_WRITE) +
                d.back().buffers.count(BUFFER_DAE_DESCRIPTOR),
            0u);
  const auto wet = bytesOf(*working().wetTexture0()), grid = bytesOf(*working().gridTexture0());
  for (std::size_t y = 0; y < 14; ++y) {
    for (std::size_t x = 0; x < 14; ++x) {
      const std::size_t at = (y * width + x) * 4;
      if (x < 6) {
        ASSERT_TRUE(std::equal(&wet[at], &wet[at + 4], &wetBefore[at])) << x << ", " << y << ": wet paint under the mask";
        ASSERT_TRUE(std::equal(&grid[at], &grid[at + 4], &gridBefore[at])) << x << ", " << y << ": grid under the mask";
      } else if (stamped(x, y)) {
        EXPECT_EQ(wet[at], 255) << x << ", " << y << ": no new paint where the mask lets it through";
      }
      EXPECT_EQ(grid[at + 2], 0) << x << ", " << y << ": a mark left after the step";
    }
  }
}

ENGINE_SUITE_AT_BOTH_MODES(DAEMasker);

}  // namespace
}  // namespace enginetest
