#include <gtest/gtest.h>

#include <random>

#include "EnginePassesFixture.h"
#include "FatalStop.h"
#include "gpu/Gpu.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEColorFill.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPainting.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelMerge.h"
#include "components/ArtworkTextures.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/knives/KnifeDAEEncoders.h"

namespace enginetest {
namespace {

using DAEPasses = EngineTest;

std::shared_ptr<AbstractDAEEncoderUnit> paintPass(ToolType type) {
  return std::static_pointer_cast<AbstractDAEEncoderUnit>(DAEEncoders().getPaintEncoder(type));
}

TEST_P(DAEPasses, DescriptorIsBuiltOnceAndRebuiltOnlyAfterAClear) {
  auto tool = makeTool(ToolType::knife2);
  const auto pass = paintPass(ToolType::knife2);
  tool->setTouchCount(7);
  const auto first = dispatchesOf(*pass).at(0).buffers.at(BUFFER_DAE_DESCRIPTOR);
  ASSERT_EQ(first.bytes.size(), kDAEToolDescriptorSize);
  EXPECT_EQ(intAt(first.bytes, 172), 7);

  tool->setTouchCount(9);
  const auto again = dispatchesOf(*pass).at(0).buffers.at(BUFFER_DAE_DESCRIPTOR);
  EXPECT_EQ(again.buffer, first.buffer);
  EXPECT_EQ(intAt(again.bytes, 172), 7);

  pass->setDescriptorBuffer(nullptr);
  const auto rebuilt = dispatchesOf(*pass).at(0).buffers.at(BUFFER_DAE_DESCRIPTOR);
  EXPECT_NE(rebuilt.buffer, first.buffer);
  EXPECT_EQ(intAt(rebuilt.bytes, 172), 9);
}

TEST_P(DAEPasses, HeadPassesPingPongAndAPlainModelGetsNoRecord) {
  for (bool plain : {false, true}) {
    auto tool = makeTool(ToolType::knife1, plain);
    auto& model = *tool->surface().model;
    const auto a = model.colorTexture0(), b = model.colorTexture1();
    const auto paint = paintPass(ToolType::knife1);
    const auto pickup = DAEEncoders().getPickupEncoder(ToolType::knife1);
    gpu::commandTrace().start();
    auto commands = buffer();
    paint->encode(*canvas, *commands);
    pickup->encode(*canvas, *commands);
    const auto d = gpu::commandTrace().dispatches();
    gpu::commandTrace().stop();
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0].textures.at(TEXTURE_TOOL_READ), a);
    EXPECT_EQ(d[0].textures.at(TEXTURE_TOOL_WRITE), b);
    EXPECT_EQ(d[1].textures.at(TEXTURE_TOOL_READ), b);
    EXPECT_EQ(d[1].textures.at(TEXTURE_TOOL_WRITE), a);
    EXPECT_EQ(model.colorTexture0(), a);
    EXPECT_EQ(d[0].buffers.count(BUFFER_DAE_DESCRIPTOR), plain ? 0u : 1u);
  }
}

// The model's pick-up goes through the registry's pickup pass for the tool, with the surface's
// colour only when one is given.
TEST_P(DAEPasses, ThePickUpOfAModelUsesTheToolsPickupPassAndTheGivenColour) {
  auto tool = makeTool(ToolType::flatBrush);
  auto& model = static_cast<HeadModel&>(*tool->surface().model);
  const auto colour = graphics::Color::fromRGBA(0.25, 0.5, 0.125, 0.75);
  for (const bool coloured : {true, false}) {
    gpu::commandTrace().start();
    auto commands = buffer();
    model.encodePickup(ToolType::flatBrush, coloured ? std::optional(colour) : std::nullopt, *canvas, *commands);
    const auto d = gpu::commandTrace().dispatches();
    gpu::commandTrace().stop();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].kernelName, "DAEToolModel_brush_pickup");
    const auto bytes = d[0].buffers.at(BUFFER_COLOR).bytes;
    EXPECT_EQ(bytes == std::vector<std::uint8_t>(16, 0), !coloured) << (coloured ? "coloured" : "plain");
  }
}

struct PencilCase {
  ToolType type;
  bool plain;
  bool forward;  // what the surface answers
  std::uint8_t flag;
};

TEST_P(DAEPasses, PencilStateCarriesTheForwardFlagOnly) {
  const PencilCase cases[] = {
      {ToolType::bigFilbertBrush, false, false, 1},
      {ToolType::knife3, false, false, 0},
      {ToolType::knife3, false, true, 1},
      {ToolType::knife3, true, true, 0},
  };
  for (const auto& c : cases) {
    auto tool = makeTool(c.type, c.plain);
    tool->surface().forward = c.forward;
    if (!c.plain) static_cast<HeadModel&>(*tool->surface().model).rotation = 0.625f;
    const auto state = dispatchesOf(*paintPass(c.type)).at(0).buffers.at(BUFFER_PENCIL_STATE).bytes;
    std::vector<std::uint8_t> expected(8, 0);
    expected[1] = c.flag;
    EXPECT_EQ(state, expected) << describe(c.type) << (c.plain ? " plain" : "");
    if (isKnife(c.type) && !c.plain) {
      EXPECT_EQ(tool->surface().askedRotation, 0.625f);
    }
  }
}

TEST_P(DAEPasses, PickupWithoutColourBindsTransparentBlack) {
  makeTool(ToolType::flatBrush);
  const auto pickup = DAEEncoders().getPickupEncoder(ToolType::flatBrush);
  EXPECT_EQ(dispatchesOf(*pickup).at(0).buffers.at(BUFFER_COLOR).bytes, std::vector<std::uint8_t>(16, 0));
  pickup->setColor(graphics::Color::fromRGBA(0.25, 0.5, 0.125, 0.75));
  const auto bytes = dispatchesOf(*pickup).at(0).buffers.at(BUFFER_COLOR).bytes;
  EXPECT_EQ(floatAt(bytes, 8), 0.125f);
  EXPECT_EQ(floatAt(bytes, 12), 0.75f);
}

TEST_P(DAEPasses, ColourFillReadsTheOtherCopyAndLeavesTheWrittenOneCurrent) {
  auto tool = makeTool(ToolType::knife5);
  auto& model = *tool->surface().model;
  const auto a = model.colorTexture0(), b = model.colorTexture1();
  const auto fill = DAEEncoders().getColorFillEncoder(ToolType::knife5);
  EXPECT_FATAL(dispatchesOf(*fill), "DAEToolModel_knife_fill: a colour fill needs a colour");
  gpu::commandTrace().stop();
  fill->setColor(graphics::Color::fromRGBA(0.5, 0.25, 0.75, 0.375));
  fill->setForce(0.625f);
  const auto d = dispatchesOf(*fill).at(0);
  EXPECT_EQ(d.textures.at(TEXTURE_TOOL_READ), b);
  EXPECT_EQ(d.textures.at(TEXTURE_TOOL_WRITE), a);
  EXPECT_EQ(model.colorTexture0(), a);
  EXPECT_EQ(floatAt(d.buffers.at(BUFFER_COLOR).bytes, 4), 0.25f);
  EXPECT_EQ(floatAt(d.buffers.at(BUFFER_FORCE).bytes, 0), 0.625f);
  EXPECT_EQ(d.textures.at(TEXTURE_GRID_WRITE), working().gridTexture1());  // the surface's standard set
  EXPECT_GT(d.threadsPerThreadgroup.depth, 1u);                            // over the whole head
}

TEST_P(DAEPasses, InitialiserExchangesTheWorkingGridsAndNeedsAMeasuredHead) {
  makeTool(ToolType::knife1);
  const auto g0 = working().gridTexture0(), g1 = working().gridTexture1();
  const auto d = dispatchesOf(*DAEEncoders().getInitializer()).at(0);
  EXPECT_EQ(d.textures.at(TEXTURE_GRID_WRITE), g1);
  EXPECT_EQ(working().gridTexture0(), g1);
  EXPECT_EQ(working().gridTexture1(), g0);
  EXPECT_EQ(d.buffers.count(BUFFER_POSITION_NUMBER), 1u);

  makeTool(ToolType::knife1, true);
  EXPECT_FATAL(dispatchesOf(*DAEEncoders().getInitializer()), "DAEInitializer: the tool model has no measured head");
}

TEST_P(DAEPasses, MaskRunsOnlyWithAMaskTexture) {
  auto tool = makeTool(ToolType::knife4);
  const auto a = tool->surface().model->colorTexture0();
  const auto masker = DAEEncoders().getMasker();
  EXPECT_TRUE(dispatchesOf(*masker).empty());
  EXPECT_EQ(tool->surface().model->colorTexture0(), a);

  canvas->setMaskTexture(working().gridTexture1());
  const auto d = dispatchesOf(*masker).at(0);
  EXPECT_EQ(d.textures.at(TEXTURE_GRID_READ), working().gridTexture0());
  EXPECT_EQ(d.textures.at(TEXTURE_GRID_WRITE), working().gridTexture0());
  EXPECT_EQ(d.textures.at(TEXTURE_MASK_IMAGE), working().gridTexture1());
  EXPECT_NE(tool->surface().model->colorTexture0(), a);
}

TEST_P(DAEPasses, HeightPassRebuildsItsRecordAndKeepsTheHeadOrder) {
  auto tool = makeTool(ToolType::knife1);
  auto& model = *tool->surface().model;
  const auto height = DAEEncoders().getPaintHeight();
  const auto paint = paintPass(ToolType::knife1);
  gpu::commandTrace().start();
  auto commands = buffer();
  paint->encode(*canvas, *commands);
  const auto afterPaint = model.colorTexture0();
  height->encode(*canvas, *commands);
  tool->setTouchCount(4);
  height->encode(*canvas, *commands);
  const auto d = gpu::commandTrace().dispatches();
  gpu::commandTrace().stop();
  EXPECT_EQ(model.colorTexture0(), afterPaint);
  EXPECT_EQ(d[1].textures.at(TEXTURE_TOOL_READ), afterPaint);
  EXPECT_EQ(d[1].textures.at(TEXTURE_HEIGHT_IMAGE_WRITE), model.previewHeightTexture());
  EXPECT_NE(d[1].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, d[2].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer);
  EXPECT_EQ(intAt(d[2].buffers.at(BUFFER_DAE_DESCRIPTOR).bytes, 172), 4);
}

TEST_P(DAEPasses, RenderDrawsTheHeightPictureOnlyWithinItsBounds) {
  auto tool = makeTool(ToolType::knife1);
  auto& preview = *tool->surface().model->previewHeightTexture();
  std::vector<std::uint8_t> grey(preview.width() * preview.height() * 4, 0);
  for (std::size_t i = 0; i < grey.size(); ++i) grey[i] = i % 4 == 3 ? 255 : 90;
  preview.writeRegion(gpu::Region::make2D(0, 0, preview.width(), preview.height()), 0, grey, preview.width() * 4);
  const auto& painting = *canvas->currentContent()->paintingTexture();
  const auto before = bytesOf(painting);

  auto commands = buffer();
  DAEPaintingRender().encode(*canvas, *commands);
  commands->commit();
  const auto after = bytesOf(painting);
  bool changed = false;
  for (std::size_t y = 0; y < painting.height(); ++y) {
    for (std::size_t x = 0; x < painting.width(); ++x) {
      const std::size_t at = (y * painting.width() + x) * 4;
      const bool inside = x >= 10 && x < 10 + preview.width() && y >= 50 && y < 50 + preview.height();
      const bool differs = !std::equal(before.begin() + at, before.begin() + at + 4, after.begin() + at);
      if (!inside) {
        ASSERT_FALSE(differs) << x << ", " << y;
      }
      changed = changed || differs;
    }
  }
  EXPECT_TRUE(changed);
}

std::vector<std::string> kernelNames(const std::vector<gpu::DispatchRecord>& d) {
  std::vector<std::string> names;
  for (const auto& record : d) names.push_back(record.kernelName);
  return names;
}

TEST_P(DAEPasses, OneStrokeStepRecordsTheChainInOrderOnOneRecord) {
  for (bool masked : {true, false}) {
    auto tool = makeTool(ToolType::knife1);
    canvas->setMaskTexture(masked ? working().gridTexture1() : nullptr);
    bool customPrepareRan = false;
    DAEPainting step(*tool, [&](DrawingPaint&, gpu::CommandBuffer&) { customPrepareRan = true; });
    auto& model = *tool->surface().model;
    const auto head = model.colorTexture0();
    gpu::commandTrace().start();
    auto commands = buffer();
    step.encode(*canvas, *commands);
    const auto d = gpu::commandTrace().dispatches();
    const auto blits = gpu::commandTrace().blits();
    gpu::commandTrace().stop();

    std::vector<std::string> expected{"pic_flip_texture_reset2D", "DAEToolModel_knife_paint",
                                      "DAEToolModel_overlay_map", "DAEToolModel_blur_image",
                                      "DAEToolModel_blur_image"};
    if (masked) expected.push_back("DAEToolModel_mask");
    EXPECT_EQ(kernelNames(d), expected);
    ASSERT_EQ(blits.size(), 2u);
    EXPECT_EQ(blits[0].sourceTexture, head);
    EXPECT_NE(blits[0].destinationTexture, head);
    EXPECT_FALSE(customPrepareRan);
    EXPECT_EQ(d[0].textures.at(TEXTURE_RESET), working().gridTexture1());
    EXPECT_EQ(d[2].textures.at(TEXTURE_GRID_READ), working().gridTexture1());
    EXPECT_EQ(d[2].textures.at(TEXTURE_WET_WRITE), working().wetTexture0());
    EXPECT_EQ(d[2].textures.at(TEXTURE_DRY_READ), working().dryTexture1()) << "paint laid dry is carried too";
    EXPECT_EQ(d[2].textures.at(TEXTURE_DRY_WRITE), working().dryTexture0());
    if (masked) {
      EXPECT_EQ(d[1].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, d[5].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer);
    }
  }
}

TEST_P(DAEPasses, StrokeStepWithAPlainModelLeavesTheRecordsInPlace) {
  auto tool = makeTool(ToolType::knife1, true);
  canvas->setMaskTexture(working().gridTexture1());
  DAEPainting step(*tool);
  const auto stale = AppManager().device()->makeBuffer(kDAEToolDescriptorSize);
  paintPass(ToolType::knife1);  // the hand-out clears it; the step holds the same object
  std::static_pointer_cast<AbstractDAEEncoderUnit>(step.encoders()[1])->setDescriptorBuffer(stale);
  DAEEncoders().getMasker()->setDescriptorBuffer(stale);
  const auto d = dispatchesOf(step);
  EXPECT_EQ(d[1].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, stale);
  EXPECT_EQ(d[5].buffers.at(BUFFER_DAE_DESCRIPTOR).buffer, stale);
}

TEST_P(DAEPasses, ColourFillSetsTheSharedPass) {
  auto tool = makeTool(ToolType::knife2);
  const auto red = graphics::Color::fromRGBA(0.75, 0.125, 0.25, 1);
  const auto blue = graphics::Color::fromRGBA(0.125, 0.25, 0.75, 1);
  DAEColorFill first(*tool, red, 0.375f);
  const auto fill = DAEEncoders().getColorFillEncoder(ToolType::knife6);
  ASSERT_EQ(first.encoders().at(0), fill);
  EXPECT_EQ(fill->color(), red);
  EXPECT_EQ(fill->force(), 0.375f);
  DAEColorFill second(*tool, blue, 0.5f);
  EXPECT_EQ(fill->color(), blue);
  EXPECT_EQ(first.force(), 0.375f);
  const auto d = dispatchesOf(first);
  ASSERT_EQ(kernelNames(d), std::vector<std::string>{"DAEToolModel_knife_fill"});
  EXPECT_EQ(floatAt(d[0].buffers.at(BUFFER_FORCE).bytes, 0), 0.5f);
}

TEST_P(DAEPasses, DebugViewChildrenFollowTheModeAtConstruction) {
  for (KnifeDebugMode mode : {KnifeDebugMode::Height, KnifeDebugMode::Complete, KnifeDebugMode::None}) {
    DEBUG_DAE_KNIFE = mode;
    DAEPaintingShow show;
    const auto& children = show.encoders();
    const bool complete = mode == KnifeDebugMode::Complete;
    ASSERT_EQ(children.size(), complete ? 3u : 2u);
    EXPECT_EQ(children[0], DAEEncoders().getPaintHeight());
    EXPECT_EQ(children[1] == DAEEncoders().getPaintRender(), complete);
    EXPECT_NE(children.back(), DAEEncoders().getPaintRender());
  }
}

TEST_P(DAEPasses, HeadPassesStopForAToolWithoutAModelAndTheRenderDrawsNothing) {
  auto tool = makeTool(ToolType::knife1);
  tool->surface().model = nullptr;
  tool->viewer().setToolModel(nullptr);
  EXPECT_FATAL(dispatchesOf(*paintPass(ToolType::knife1)), "DAEToolModel_knife_paint: the current tool has no tool model");
  DAEPainting step(*tool);
  EXPECT_FATAL(dispatchesOf(step), "DAEPainting: the current tool has no tool model");
  gpu::commandTrace().start();
  auto commands = buffer();
  DAEPaintingRender().encode(*canvas, *commands);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  gpu::commandTrace().stop();
}

TEST_P(DAEPasses, MergingTwoLayersLeavesTheTargetWithTheSecondsGridAndWet) {
  makeTool(ToolType::knife1);
  auto target = canvas->addLayer();
  auto first = canvas->addLayer();
  auto second = canvas->addLayer();
  std::mt19937 random(5);
  for (const auto& layer : {first, second}) {
    for (const auto& texture : {layer->gridTexture(), layer->wetTexture()}) {
      std::vector<std::uint8_t> bytes(texture->width() * texture->height() * 4);
      for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
      texture->writeRegion(gpu::Region::make2D(0, 0, texture->width(), texture->height()), 0, bytes,
                           texture->width() * 4);
    }
  }
  DAEToolModelMerge merge(target);
  gpu::commandTrace().start();
  for (const auto& source : {first, second}) {
    auto commands = buffer();
    merge.setSource(source);
    merge.encode(*canvas, *commands);
    commands->commit();
  }
  const auto names = gpu::commandTrace().kernelNames();
  gpu::commandTrace().stop();
  EXPECT_EQ(names, (std::vector<std::string>{"DAEToolModel_dry_layer", "textureOverlay2D", "DAEToolModel_dry_layer",
                                             "textureOverlay2D"}));
  EXPECT_EQ(bytesOf(*target->gridTexture()), bytesOf(*second->gridTexture()));
  EXPECT_EQ(bytesOf(*target->wetTexture()), bytesOf(*second->wetTexture()));
  EXPECT_NE(bytesOf(*target->wetTexture()), bytesOf(*first->wetTexture()));
}

ENGINE_SUITE_AT_BOTH_MODES(DAEPasses);

}  // namespace
}  // namespace enginetest
