// The round brush against the command trace: its surface's one composite, the altitudes it
// uploads, and the passes of one stroke step with what each binds.

#include <gtest/gtest.h>

#include <numbers>

#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DebugSwitches.h"
#include "tools/EncodersProvider.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/TextureReset.h"
#include "tools/brushes/DAERoundPainting.h"
#include "tools/brushes/RoundBrushTool.h"

namespace tessivarium {
namespace {

using testsupport::StrokeCanvas;
using Textures = std::map<std::int64_t, std::shared_ptr<gpu::Texture>>;

TEST(RoundBrushTool, OneStepCompositeWhateverTheDebugSwitchAndWatermarkedAltitudes) {
  StrokeCanvas canvas;
  const auto& brush = AppManager().roundBrush();
  for (const auto mode : {KnifeDebugMode::None, KnifeDebugMode::Height, KnifeDebugMode::Complete}) {
    DEBUG_DAE_KNIFE = mode;
    brush->setToolSurface(nullptr);
    auto& surface = *brush->toolSurface();
    ASSERT_EQ(surface.initEncoders().size(), 1u) << "no height view, whatever the debug switch";
    EXPECT_TRUE(std::dynamic_pointer_cast<DAERoundPainting>(surface.initEncoders()[0]));
    EXPECT_TRUE(surface.encoders().empty() && surface.endEncoders().empty());
  }

  auto& data = brush->toolSurface()->touchInputData();
  const float pi = std::numbers::pi_v<float>;
  for (const float a : {pi / 2, pi / 6, 0.2f}) data.append(10, 20, 5, 0.5f, a, 0.3f);
  brush->toolSurface()->adjustInput();
  EXPECT_EQ(data.altitudes(), (std::vector<float>{pi / 3, 0.0f, 0.0f}));
}

// One step, after another tool left the shared reset, overlay and mask pointed elsewhere: the step
// puts them back, and its paint pass binds the working window and the samples and nothing of a
// head. On a masked canvas the paint, overlay and mask passes take the mask too.
TEST(RoundBrushTool, AStepRunsItsPassesOnTheWorkingTexturesWithNothingOfAHead) {
  StrokeCanvas canvas;
  const auto& brush = AppManager().roundBrush();
  canvas.use(brush);
  auto& working = AppManager().surfaceTextures();
  for (const bool masked : {false, true}) {
    SCOPED_TRACE(masked ? "masked" : "no mask");
    if (masked) canvas.canvas->setMaskTexture(AppManager().makeTexture(StrokeCanvas::kWidth, StrokeCanvas::kHeight));
    EncodersProvider().getTextureReset2D()->setTexture(working.wetTexture1());
    EncodersProvider().getTextureReset2D()->setOffset({5, 5, 0});
    DAEEncoders().getTextureOverlayMap()->setGrid(working.dryTexture1());
    DAEEncoders().getMasker()->setDescriptorBuffer(AppManager().device()->makeBuffer(180));

    brush->setTouchInputs({std::make_shared<TouchInput>(graphics::Point(60, 60), 0.5f, 0.9f, 0.4f)});
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    brush->encode(*canvas.canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();
    std::vector<gpu::DispatchRecord> d;
    std::vector<std::string> names;
    for (const auto& record : gpu::commandTrace().dispatches()) {
      if (record.kernelName.starts_with("texture_data_to")) continue;  // the picture's composition
      d.push_back(record), names.push_back(record.kernelName);
    }
    gpu::commandTrace().clear();

    std::vector<std::string> expected{"pic_flip_texture_reset2D", "DAEToolModel_brush_bristle_paint",
                                      "DAEToolModel_overlay_map", "DAEToolModel_blur_image"};
    if (masked) expected.push_back("DAEToolModel_mask");
    ASSERT_EQ(names, expected);
    EXPECT_EQ(d[0].textures.at(TEXTURE_RESET), working.gridTexture1());
    EXPECT_EQ(d[0].buffers.at(BUFFER_OFFSET).bytes, std::vector<std::uint8_t>(16, 0));

    Textures window{{TEXTURE_GRID_READ, working.gridTexture0()},  {TEXTURE_GRID_WRITE, working.gridTexture1()},
                    {TEXTURE_GROUND, canvas.canvas->groundTexture()}, {TEXTURE_DRY_READ, working.dryTexture0()},
                    {TEXTURE_DRY_WRITE, working.dryTexture1()},    {TEXTURE_WET_READ, working.wetTexture0()},
                    {TEXTURE_WET_WRITE, working.wetTexture1()}};
    Textures overlaid{{TEXTURE_GRID_READ, working.gridTexture1()}, {TEXTURE_GRID_WRITE, working.gridTexture0()},
                      {TEXTURE_WET_READ, working.wetTexture1()},   {TEXTURE_WET_WRITE, working.wetTexture0()},
                      {TEXTURE_DRY_READ, working.dryTexture1()},   {TEXTURE_DRY_WRITE, working.dryTexture0()}};
    if (masked) window[TEXTURE_MASK_IMAGE] = overlaid[TEXTURE_MASK_IMAGE] = canvas.canvas->maskTexture();
    EXPECT_TRUE(d[1].textures == window) << "nothing at the head's slots 9 and 10";
    std::vector<std::int64_t> buffers;
    for (const auto& [slot, bound] : d[1].buffers) buffers.push_back(slot);
    // The second step of the stroke comes on from where the first left off.
    std::vector<std::int64_t> bound{BUFFER_OFFSET, BUFFER_POSITION, BUFFER_FORCE, BUFFER_POSITION_NUMBER,
                                    BUFFER_ALTITUDE, BUFFER_AZIMUTH};
    if (masked) bound.insert(bound.begin() + 1, BUFFER_VALUE);
    EXPECT_EQ(buffers, bound) << "no descriptor, pencil state or bristles";
    EXPECT_EQ(d[1].threadgroupsPerGrid, (gpu::Size{64, 64, 1}));
    EXPECT_TRUE(d[2].textures == overlaid);
    EXPECT_FALSE(DAEEncoders().getMasker()->descriptorBuffer()) << "the record another tool left is forgotten";
    if (masked) {
      EXPECT_EQ(d[4].buffers.count(BUFFER_DAE_DESCRIPTOR) + d[4].textures.count(TEXTURE_TOOL_READ), 0u);
    }
  }
}

}  // namespace
}  // namespace tessivarium
