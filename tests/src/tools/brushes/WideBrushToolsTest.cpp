// One stroke step of a wide brush: its passes, the wide paint's bindings and the exchanges of the
// head.

#include <gtest/gtest.h>

#include <set>

#include "BytesAt.h"
#include "StrokeCanvas.h"
#include "gpu/Gpu.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DebugSwitches.h"
#include "tools/brushes/WidePainting.h"
#include "tools/brushes/WideBrushTools.h"

namespace tessivarium {
namespace {

std::set<std::int64_t> slotsOf(const auto& bindings) {
  std::set<std::int64_t> slots;
  for (const auto& bound : bindings) slots.insert(bound.first);
  return slots;
}

// The surface runs the wide step, and the height view after it only while the debug switch asks
// for it; the step lists one blur object twice.
TEST(WideBrushTools, TheSurfaceRunsTheWideStepAndTheHeightViewOnlyWhenAsked) {
  testsupport::StrokeCanvas paint;
  const auto brush = std::make_shared<BigWideBrushTool>();
  paint.use(brush);
  for (const auto mode : {KnifeDebugMode::None, KnifeDebugMode::Trace, KnifeDebugMode::Height, KnifeDebugMode::Complete}) {
    DEBUG_DAE_KNIFE = mode;
    brush->setToolSurface(nullptr);
    const auto& passes = brush->toolSurface()->initEncoders();
    const bool shown = mode == KnifeDebugMode::Height || mode == KnifeDebugMode::Complete;
    ASSERT_EQ(passes.size(), shown ? 2u : 1u) << static_cast<int>(mode);
    const auto step = std::dynamic_pointer_cast<DAEWidePainting>(passes[0]);
    ASSERT_TRUE(step);
    EXPECT_EQ(shown, passes.size() == 2 && std::dynamic_pointer_cast<DAEPaintingShow>(passes[1]));
    ASSERT_EQ(step->encoders().size(), 6u);
    EXPECT_EQ(step->encoders()[3], step->encoders()[4]) << "one blur object, twice";
  }
  DEBUG_DAE_KNIFE = KnifeDebugMode::Height;
}

// One step of one sample at the None debug mode: the head copied, then the map reset, the wide paint
// with its own bindings, the overlay map, the blur twice and, only on a canvas with a mask, the
// mask, which binds no record another tool left on it. The paint pass exchanges the head, and so
// does the mask. The second step, on the masked canvas, goes on from the first's sample.
TEST(WideBrushTools, RecordsTheChainWithTheWidePaintsOwnSlotsAndExchangesTheHead) {
  DEBUG_DAE_KNIFE = KnifeDebugMode::None;
  testsupport::StrokeCanvas paint;
  const auto brush = std::make_shared<WideBrushTool>();
  paint.use(brush);
  auto& model = *brush->toolViewer()->toolModel();
  for (const bool masked : {false, true}) {
    paint.canvas->setMaskTexture(masked ? AppManager().makeTexture(300, 200) : nullptr);
    DAEEncoders().getMasker()->setDescriptorBuffer(AppManager().device()->makeBuffer(180));
    const auto head = model.colorTexture0(), other = model.colorTexture1();
    gpu::commandTrace().clear();
    gpu::commandTrace().start();
    brush->setTouchInputs({std::make_shared<TouchInput>(graphics::Point(100, 80), 1.0f, 0.2f, 0.3f)});
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    brush->encode(*paint.canvas, *buffer);
    buffer->commit();
    gpu::commandTrace().stop();

    const auto dispatches = gpu::commandTrace().dispatches();
    const auto step = std::find_if(dispatches.begin(), dispatches.end(),
                                   [](const auto& d) { return d.kernelName == "pic_flip_texture_reset2D"; });
    std::vector<std::string> chain = {"pic_flip_texture_reset2D", "DAEToolModel_wide_brush_paint", "DAEToolModel_overlay_map",
                                      "DAEToolModel_blur_image", "DAEToolModel_blur_image"};
    if (masked) chain.push_back("DAEToolModel_mask");
    ASSERT_GE(dispatches.end() - step, static_cast<long>(chain.size()));
    for (std::size_t i = 0; i < chain.size(); ++i) EXPECT_EQ(step[i].kernelName, chain[i]) << masked << " " << i;
    EXPECT_FALSE(masked && step[5].buffers.count(BUFFER_DAE_DESCRIPTOR)) << "the mask binds no stale record";
    const auto blit = gpu::commandTrace().blits().back();
    EXPECT_TRUE(blit.sourceTexture == head && blit.destinationTexture == other) << "the head copied";

    const gpu::DispatchRecord& wide = step[1];
    std::set<std::int64_t> textures = {0, 1, 11, 12, 13, 16, 17, 9, 10};
    if (masked) textures.insert(TEXTURE_MASK_IMAGE);
    EXPECT_EQ(slotsOf(wide.textures), textures);
    std::set<std::int64_t> buffers = {0, 4, 5, 8, 9, 10};
    if (masked) buffers.insert(BUFFER_VALUE);
    EXPECT_EQ(slotsOf(wide.buffers), buffers) << "no pencil state, no descriptor";
    EXPECT_TRUE(wide.textures.at(TEXTURE_TOOL_READ) == head && wide.textures.at(TEXTURE_TOOL_WRITE) == other);
    EXPECT_FLOAT_EQ(testsupport::at<float>(wide.buffers.at(BUFFER_ALTITUDE).bytes.data(), 0), 0.2f) << "no watermark";
    EXPECT_EQ(model.colorTexture0(), masked ? head : other);
  }
}

// A pattern pick over a patch of wet paint 13 bytes thick loads every column's load well with it,
// 13 bytes, and the brush lays it again beside the patch.
TEST(WideBrushTools, APatternPickLoadsEachColumnsWellAsThickAsThePaintUnderIt) {
  testsupport::StrokeCanvas paint;
  const auto brush = std::make_shared<WideBrushTool>();
  paint.use(brush);
  paint.layWet(100, 40, 200, 160, {200, 30, 30, 13});
  brush->toolViewer()->pickPattern(TouchInput({150, 100}, 0.5f, 1.0f, 0.0f), 0);
  EXPECT_EQ(testsupport::StrokeCanvas::headPaint(*brush), brush->toolViewer()->toolModel()->width() * 12 * 13);

  paint.drag({50, 40}, {50, 160}, 30);
  const auto wet = paint.wet();
  long besideThePatch = 0;
  for (std::size_t i = 0; i < wet.size(); ++i) besideThePatch += i % testsupport::StrokeCanvas::kWidth < 100 ? wet[i] : 0;
  EXPECT_GT(besideThePatch, 0);
}

}  // namespace
}  // namespace tessivarium
