// The drop tools' step against the command trace: the passes of each window step and what they
// bind, the tube's drawing mode, and the tube's direct drawing into a layer.

#include <gtest/gtest.h>

#include "BytesAt.h"
#include "DropToolFixture.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"
#include "utils/KernelInterface.h"

namespace droptest {
namespace {

using Slots = std::vector<std::int64_t>;

class TubeToolTest : public DropToolTest {
 protected:
  TubeToolTest() { withholdDrawables(); }

  static Slots bufferSlots(const gpu::DispatchRecord& d) {
    Slots out;
    for (const auto& [slot, b] : d.buffers) out.push_back(slot);
    return out;
  }
  SurfaceWorkingTextures& working() { return AppManager().surfaceTextures(); }
};

TEST_F(TubeToolTest, EachWindowStepRunsTheFivePassesOnTheWorkingTexturesInOneBuffer) {
  struct Case {
    std::shared_ptr<AbstractDropTool> tool;
    const char* paint;
    Slots paintBuffers;
    graphics::Point last;  // the first two samples lie in one window; a last one far off needs a second
    std::size_t steps;    // the sprayer's denser samples reach the first window's edge in a step of their own
    std::vector<std::string> layerBlits;
  };
  const std::vector<std::string> oneWindow{"load"}, twoWindows{"load", "save", "load"};
  const Case cases[] = {{AppManager().tube(), "mac_add_sphere", {4, 5, 6, 8, 9, 10, 19}, {64, 62}, 1, oneWindow},
                        {AppManager().tube(), "mac_add_sphere", {4, 5, 6, 8, 9, 10, 19}, {250, 150}, 2, twoWindows},
                        {AppManager().sprayer(), "DAESprayer_paint", {0, 4, 5, 6, 8, 9, 10}, {250, 150}, 3, twoWindows}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.paint) + " in " + std::to_string(c.steps) + " steps");
    AppManager().setCurrentTool(c.tool);
    // Another tool left the shared reset elsewhere.
    EncodersProvider().getTextureReset2D()->setTexture(working().wetTexture1());
    EncodersProvider().getTextureReset2D()->setOffset({5, 5, 0});
    c.tool->setTouchInputs({sample(60, 60), sample(62, 61), sample(c.last.x, c.last.y)});
    gpu::commandTrace().start();
    c.tool->interactiveDraw(*canvas, nullptr);
    const auto& trace = gpu::commandTrace();
    const std::vector<std::string> step{"pic_flip_texture_reset2D", c.paint, "DAEToolModel_blur_image",
                                        "DAEToolModel_overlay_map"};
    std::vector<std::string> expected, names;
    for (std::size_t i = 0; i < c.steps; ++i) expected.insert(expected.end(), step.begin(), step.end());
    std::vector<gpu::DispatchRecord> d;  // the step's passes, without the picture's composition
    for (const auto& record : trace.dispatches()) {
      if (record.kernelName.starts_with("texture_data_to")) continue;
      d.push_back(record), names.push_back(record.kernelName);
    }
    EXPECT_EQ(names, expected) << "no mask pass without a mask";
    EXPECT_EQ(trace.commits().size(), 1u);

    EXPECT_EQ(d[0].textures.at(TEXTURE_RESET), working().gridTexture1());
    EXPECT_EQ(d[0].buffers.at(BUFFER_OFFSET).bytes, std::vector<std::uint8_t>(16, 0));
    EXPECT_EQ(bufferSlots(d[1]), c.paintBuffers) << "no descriptor or pencil state; the sprayer's offset seeds its droplets";
    if (c.steps > 1) {
      EXPECT_EQ(d[5].buffers.count(BUFFER_VALUE), 1u) << "a later step goes on from where the step before ended";
    }
    EXPECT_EQ(d[1].textures.count(TEXTURE_TOOL_READ) + d[1].textures.count(TEXTURE_TOOL_WRITE), 0u);
    EXPECT_EQ(d[1].textures.at(TEXTURE_GROUND), canvas->groundTexture());
    EXPECT_EQ(d[1].textures.at(TEXTURE_DRY_READ), working().dryTexture0());
    EXPECT_EQ(d[1].threadgroupsPerGrid, (gpu::Size{64, 64, 1}));
    const std::map<std::int64_t, std::shared_ptr<gpu::Texture>> overlay{
        {TEXTURE_GRID_READ, working().gridTexture1()}, {TEXTURE_GRID_WRITE, working().gridTexture0()},
        {TEXTURE_WET_READ, working().wetTexture1()}, {TEXTURE_WET_WRITE, working().wetTexture0()}};
    EXPECT_EQ(d[3].textures, overlay);

    // Each step opens with an empty blit pass; the first window goes back before the second loads.
    std::vector<std::string> layerBlits;
    std::size_t emptyBlits = 0;
    bool blitOpen = false, blitEmpty = false;
    for (const auto& event : trace.events()) {
      if (const auto* e = std::get_if<gpu::EncoderRecord>(&event); e && e->kind == gpu::EncoderKind::Blit) {
        if (!e->begin && blitOpen && blitEmpty) ++emptyBlits;
        blitOpen = e->begin, blitEmpty = true;
      } else if (const auto* b = std::get_if<gpu::BlitRecord>(&event)) {
        blitEmpty = false;
        if (b->sourceTexture == layer().gridTexture()) layerBlits.push_back("load");
        if (b->destinationTexture == layer().gridTexture()) layerBlits.push_back("save");
      }
    }
    EXPECT_EQ(emptyBlits, c.steps);
    EXPECT_EQ(layerBlits, c.layerBlits);
    c.tool->handleEnd(*canvas);
  }
}

TEST_F(TubeToolTest, TheTubePaintsDryOnTheMainCanvasUnlessItDrawsWetAndAlwaysWetOnAPalette) {
  const auto palette = testsupport::makeCanvas(300, 200, 1.0, 1, MainPaintId + 1, false);
  palette->setShadingImage(canvas->shadingImage());
  auto& tube = *AppManager().tube();
  const struct {
    std::shared_ptr<testsupport::TestCanvas> paint;
    bool wet;
    std::int32_t mode;
  } cases[] = {{canvas, false, 1}, {canvas, true, 0}, {palette, false, 0}, {palette, true, 0}};
  for (const auto& c : cases) {
    AppManager().setCurrentPaint(c.paint);
    tube.setWetDrawing(c.wet);
    tube.setTouchInputs({sample(60, 60)});
    gpu::commandTrace().start();
    tube.interactiveDraw(*c.paint, nullptr);
    const auto d = gpu::commandTrace().dispatches();
    ASSERT_EQ(d.at(1).kernelName, "mac_add_sphere");
    EXPECT_EQ(testsupport::at<std::int32_t>(d[1].buffers.at(BUFFER_DRAWING_MODE).bytes.data(), 0), c.mode)
        << (c.paint == palette ? "palette" : "canvas") << " wet " << c.wet;
  }
}

TEST_F(TubeToolTest, TheTubesDirectDrawingIsOneDispatchOverTheLayerInItsCells) {
  auto& tube = *AppManager().tube();
  tube.setTouchInputs({sample(10, 20, 0.5f)});
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  gpu::commandTrace().start();
  tube.encodeDrawing(*buffer);
  const auto d = gpu::commandTrace().dispatches();
  ASSERT_EQ(d.size(), 1u);
  EXPECT_EQ(d[0].kernelName, "mac_add_sphere");
  const std::map<std::int64_t, std::shared_ptr<gpu::Texture>> layerTextures{
      {TEXTURE_GRID_READ, layer().gridTexture()}, {TEXTURE_GRID_WRITE, layer().gridTexture()},
      {TEXTURE_WET_READ, layer().wetTexture()}, {TEXTURE_WET_WRITE, layer().wetTexture()}};
  EXPECT_EQ(d[0].textures, layerTextures);
  EXPECT_EQ(bufferSlots(d[0]), (Slots{4, 5, 6, 8, 9, 10}));
  const auto& positions = d[0].buffers.at(BUFFER_POSITION).bytes;
  EXPECT_EQ(testsupport::at<float>(positions.data(), 4), 20.0f);
  EXPECT_EQ(testsupport::at<float>(positions.data(), 8), 5.0f);
  EXPECT_FLOAT_EQ(testsupport::at<float>(d[0].buffers.at(BUFFER_FORCE).bytes.data(), 0), 0.5f * 73.6f);
  EXPECT_EQ(d[0].threadgroupsPerGrid, (gpu::Size{75, 50, 1}));
  EXPECT_TRUE(gpu::commandTrace().commits().empty());
  EXPECT_EQ(tube.touchInputs().size(), 1u);

  // On a canvas masked left of x = 10 the blob round (10, 20) keeps off the masked cells.
  maskLeftOf(10);
  const auto masked = AppManager().commandQueue()->makeCommandBuffer();
  tube.encodeDrawing(*masked);
  masked->commit();
  const auto wet = TextureUtil::toRawData(*layer().wetTexture());
  EXPECT_EQ(wet[(20 * 300 + 8) * 4 + 3], 0);
  EXPECT_GT(wet[(20 * 300 + 11) * 4 + 3], 0);
}

}  // namespace
}  // namespace droptest
