// The round brush against the command trace: what kind of tool it is, the altitudes it uploads,
// and the passes of one stroke step with what each binds.

#include <gtest/gtest.h>

#include <algorithm>
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
#include "tools/brushes/RoundBrushToolSurface.h"
#include "tools/brushes/SceneBrushViewer.h"

namespace tessivarium {
namespace {

using Slots = std::vector<std::int64_t>;
using testsupport::StrokeCanvas;

template <class Map>
Slots slotsOf(const Map& bound) {
  Slots out;
  for (const auto& [slot, resource] : bound) out.push_back(slot);
  return out;
}

TEST(RoundBrushTool, ALazyBrushWithoutAHeadAFillOrInitialisers) {
  StrokeCanvas canvas;
  const auto& brush = AppManager().roundBrush();
  EXPECT_EQ(AppManager().roundBrush(), brush);
  const auto& tools = AppManager().tools();
  EXPECT_EQ(std::find(tools.begin(), tools.end(), brush), tools.end()) << "not in the manager's list";
  EXPECT_EQ(rawValue(brush->toolType()), 3);
  EXPECT_TRUE(brush->canWetDrawing() && brush->wetDrawing() && brush->isThickPressureSensitive());
  EXPECT_FALSE(brush->canFillColor());
  EXPECT_TRUE(brush->getInitializers().empty());
  const auto viewer = std::dynamic_pointer_cast<SceneBrushViewer>(brush->toolViewer());
  ASSERT_TRUE(viewer);
  EXPECT_EQ(viewer->fileName(), "");
  EXPECT_FLOAT_EQ(viewer->scale(), 0.7f);

  // One step composite and nothing else, whatever the debug switch.
  for (const auto mode : {KnifeDebugMode::None, KnifeDebugMode::Height, KnifeDebugMode::Complete}) {
    DEBUG_DAE_KNIFE = mode;
    brush->setToolSurface(nullptr);
    auto& surface = *brush->toolSurface();
    ASSERT_TRUE(dynamic_cast<RoundBrushToolSurface*>(&surface));
    ASSERT_EQ(surface.initEncoders().size(), 1u);
    EXPECT_TRUE(std::dynamic_pointer_cast<DAERoundPainting>(surface.initEncoders()[0]));
    EXPECT_TRUE(surface.encoders().empty() && surface.endEncoders().empty());
  }
}

TEST(RoundBrushTool, AltitudesAreLoweredByTheBrushWatermark) {
  StrokeCanvas canvas;
  auto& data = AppManager().roundBrush()->toolSurface()->touchInputData();
  const float pi = std::numbers::pi_v<float>;
  for (const float a : {pi / 2, pi / 6, 0.2f}) data.append(10, 20, 5, 0.5f, a, 0.3f);
  AppManager().roundBrush()->toolSurface()->adjustInput();
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
    const auto& reset = EncodersProvider().getTextureReset2D();
    reset->setTexture(working.wetTexture1());
    reset->setOffset({5, 5, 0});
    const auto overlay = DAEEncoders().getTextureOverlayMap();
    overlay->setGrid(working.dryTexture1());
    overlay->setToGrid(working.dryTexture0());
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

    const gpu::DispatchRecord& paint = d[1];
    std::map<std::int64_t, std::shared_ptr<gpu::Texture>> window{
        {TEXTURE_GRID_READ, working.gridTexture0()},  {TEXTURE_GRID_WRITE, working.gridTexture1()},
        {TEXTURE_GROUND, canvas.canvas->groundTexture()}, {TEXTURE_DRY_READ, working.dryTexture0()},
        {TEXTURE_DRY_WRITE, working.dryTexture1()},    {TEXTURE_WET_READ, working.wetTexture0()},
        {TEXTURE_WET_WRITE, working.wetTexture1()}};
    if (masked) window[TEXTURE_MASK_IMAGE] = canvas.canvas->maskTexture();
    EXPECT_TRUE(paint.textures == window) << "nothing at the head's slots 9 and 10";
    EXPECT_EQ(slotsOf(paint.buffers), (Slots{BUFFER_OFFSET, BUFFER_POSITION, BUFFER_FORCE, BUFFER_POSITION_NUMBER,
                                             BUFFER_ALTITUDE, BUFFER_AZIMUTH}))
        << "no descriptor, pencil state or bristles";
    EXPECT_EQ(paint.threadgroupsPerGrid, (gpu::Size{64, 64, 1}));
    EXPECT_EQ(paint.threadsPerThreadgroup, (gpu::Size{4, 4, 1}));

    std::map<std::int64_t, std::shared_ptr<gpu::Texture>> overlaid{
        {TEXTURE_GRID_READ, working.gridTexture1()}, {TEXTURE_GRID_WRITE, working.gridTexture0()},
        {TEXTURE_WET_READ, working.wetTexture1()},   {TEXTURE_WET_WRITE, working.wetTexture0()},
        {TEXTURE_DRY_READ, working.dryTexture1()},   {TEXTURE_DRY_WRITE, working.dryTexture0()}};
    if (masked) overlaid[TEXTURE_MASK_IMAGE] = canvas.canvas->maskTexture();
    EXPECT_TRUE(d[2].textures == overlaid) << "the step's changes carried into the window numbered 0";
    EXPECT_FALSE(DAEEncoders().getMasker()->descriptorBuffer()) << "the record another tool left is forgotten";
    if (masked) {
      EXPECT_EQ(d[4].buffers.count(BUFFER_DAE_DESCRIPTOR), 0u);
      EXPECT_EQ(d[4].textures.count(TEXTURE_TOOL_READ) + d[4].textures.count(TEXTURE_TOOL_WRITE), 0u);
    }
  }
}

}  // namespace
}  // namespace tessivarium
