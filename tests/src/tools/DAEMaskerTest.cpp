// The mask step under tools without a head (the round brush, the drop tools) and under composites
// that hand their children no descriptor record.

#include <gtest/gtest.h>

#include <algorithm>
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

// A headless paint pass, as the round brush's and the drop tools' are: it lays 40 bytes of wet
// red on the window's cells [2, 10) x [2, 10), into grid1 and wet1 with the step's mark, and sees
// nothing of a head.
constexpr std::size_t kStampFrom = 2, kStampTo = 10;
constexpr std::uint8_t kStampAmount = 40;

void headlessStamp(const gpu::Dispatch& dispatch) {
  const gpu::TexelView grid1 = dispatch.texels(TEXTURE_GRID_WRITE), wet1 = dispatch.texels(TEXTURE_WET_WRITE);
  gpu::forEachThread(dispatch, grid1, [=](gpu::uint3 p) {
    const bool inside = p.x >= kStampFrom && p.x < kStampTo && p.y >= kStampFrom && p.y < kStampTo;
    if (!inside) return;
    kernels::store(grid1, kernels::Texel{kernels::kFullWetness, 0, kernels::kStrokeMark, TOOL_FLUID}, p.x, p.y);
    kernels::store(wet1, kernels::Texel{255, 0, 0, kStampAmount}, p.x, p.y);
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

// The step of a headless tool: reset, the stamp, the overlay map, the blur and the mask; like the
// round brush's, its prepare step points the shared passes at the working textures and makes the
// mask forget any record another tool left on it.
class HeadlessPainting final : public CompositeEncoderUnit {
 public:
  HeadlessPainting() : CompositeEncoderUnit(prepareStep) {
    setEncoders({EncodersProvider().getTextureReset2D(), std::make_shared<HeadlessStamp>(),
                 DAEEncoders().getTextureOverlayMap(), DAEEncoders().getTextureBlur(ToolType::roundBrush),
                 DAEEncoders().getMasker()});
  }

 private:
  static void prepareStep(DrawingPaint&, gpu::CommandBuffer&) {
    pointStepPassesAtWorkingTextures();
    DAEEncoders().getMasker()->forgetDescriptor();
  }
};

class DAEMasker : public EngineTest {
 protected:
  DAEMasker() { gpu::registerKernel("test_headless_stamp", headlessStamp); }
  ~DAEMasker() override { gpu::unregisterKernel("test_headless_stamp"); }

  // A mask over the canvas whose texels left of `clearBelowX` are clear (alpha 0).
  void maskLeftOf(std::size_t clearBelowX) {
    const auto mask = AppManager().makeTexture(300, 200);
    std::vector<std::uint8_t> bytes(300 * 200 * 4, 255);
    for (std::size_t y = 0; y < 200; ++y)
      for (std::size_t x = 0; x < clearBelowX; ++x) bytes[(y * 300 + x) * 4 + 3] = 0;
    mask->writeRegion(gpu::Region::make2D(0, 0, 300, 200), 0, bytes, 300 * 4);
    canvas->setMaskTexture(mask);
  }

  // A tool without any tool model, as the round brush and the drop tools are.
  std::shared_ptr<EngineTool> headlessTool() {
    auto tool = makeTool(ToolType::roundBrush);
    tool->viewer().setToolModel(nullptr);
    tool->surface().model = nullptr;
    return tool;
  }
};

// The stamp lays paint on both sides of the mask's edge, over old wet paint: the masked cells keep
// every byte they held, the others take the new paint.
TEST_P(DAEMasker, AHeadlessStrokeOnAMaskedCanvasCompletesAndKeepsTheMaskedCellsAsTheyWere) {
  maskLeftOf(6);
  auto tool = headlessTool();
  tool->surface().step = std::make_shared<HeadlessPainting>();
  tool->setTouchInputs({std::make_shared<TouchInput>(graphics::Point(5, 5), 1.0f, 1.0f, 0.5f)});
  const std::size_t width = working().wetTexture0()->width();
  {
    auto wet = bytesOf(*working().wetTexture0()), grid = bytesOf(*working().gridTexture0());
    for (std::size_t y = 0; y < 12; ++y)
      for (std::size_t x = 0; x < 12; ++x) {
        const std::size_t at = (y * width + x) * 4;
        wet[at] = 20, wet[at + 1] = 200, wet[at + 2] = 90, wet[at + 3] = 30;
        grid[at] = 252, grid[at + 3] = TOOL_FLUID;
      }
    for (const auto& [texture, bytes] : {std::pair{working().wetTexture0(), &wet}, {working().gridTexture0(), &grid}})
      texture->writeRegion(gpu::Region::make2D(0, 0, width, texture->height()), 0, *bytes, width * 4);
  }
  const auto wetBefore = bytesOf(*working().wetTexture0()), gridBefore = bytesOf(*working().gridTexture0());

  gpu::commandTrace().start();
  auto commands = buffer();
  tool->encode(*canvas, *commands);
  commands->commit();
  const auto d = gpu::commandTrace().dispatches();
  gpu::commandTrace().stop();

  ASSERT_EQ(d.back().kernelName, "DAEToolModel_mask");
  for (const std::int64_t slot : {TEXTURE_TOOL_READ, TEXTURE_TOOL_WRITE}) EXPECT_EQ(d.back().textures.count(slot), 0u);
  EXPECT_EQ(d.back().buffers.count(BUFFER_DAE_DESCRIPTOR), 0u);

  const auto wet = bytesOf(*working().wetTexture0()), grid = bytesOf(*working().gridTexture0());
  for (std::size_t y = 0; y < 14; ++y) {
    for (std::size_t x = 0; x < 14; ++x) {
      const std::size_t at = (y * width + x) * 4;
      if (x < 6) {
        for (std::size_t i = at; i < at + 4; ++i) {
          ASSERT_EQ(wet[i], wetBefore[i]) << x << ", " << y << ": wet paint under the mask changed";
          ASSERT_EQ(grid[i], gridBefore[i]) << x << ", " << y << ": a grid cell under the mask changed";
        }
      } else if (x >= kStampFrom && x < kStampTo && y >= kStampFrom && y < kStampTo) {
        EXPECT_EQ(wet[at], 255) << x << ", " << y << ": no new paint where the mask lets it through";
      }
      EXPECT_EQ(grid[at + 2], 0) << x << ", " << y << ": a mark left after the step";
    }
  }
}

// Which record the mask binds: a composite that builds one hands it over; one that builds none
// makes the mask forget the last one, so it binds the current tool's fresh record, or none for a
// tool without a measured head.
TEST_P(DAEMasker, AfterForgettingTheMaskBindsOnlyTheCurrentToolsOwnRecord) {
  maskLeftOf(6);
  const auto masker = DAEEncoders().getMasker();
  struct Case {
    const char* tool;
    bool plain, headless;
    bool bindsRecord;
  };
  const Case cases[] = {
      {"measured head", false, false, true}, {"plain model", true, false, false}, {"no model", false, true, false}};
  for (const auto& c : cases) {
    auto earlier = makeTool(ToolType::knife1);
    earlier->setTouchCount(3);
    const auto left = dispatchesOf(*std::make_shared<DAEPainting>(*earlier)).back().buffers.at(BUFFER_DAE_DESCRIPTOR);

    auto tool = c.headless ? headlessTool() : makeTool(ToolType::flatBrush, c.plain);
    tool->setTouchCount(5);
    masker->forgetDescriptor();
    const auto d = dispatchesOf(*masker).at(0);
    ASSERT_EQ(d.buffers.count(BUFFER_DAE_DESCRIPTOR), c.bindsRecord ? 1u : 0u) << c.tool;
    if (c.bindsRecord) {
      EXPECT_NE(d.buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, left.buffer) << c.tool;
      EXPECT_EQ(intAt(d.buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, 172), 5) << c.tool;
    }
  }
}

ENGINE_SUITE_AT_BOTH_MODES(DAEMasker);

}  // namespace
}  // namespace enginetest
