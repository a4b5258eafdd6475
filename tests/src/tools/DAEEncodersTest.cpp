#include "tools/DAEEncoders.h"

#include <gtest/gtest.h>

#include <functional>

#include "FatalStop.h"
#include "gpu/Device.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/RoundBrushDAEEncoders.h"
#include "tools/brushes/WideBrushDAEEncoders.h"
#include "tools/knives/KnifeDAEEncoders.h"
#include "tools/towels/TowelDAEEncoders.h"

namespace tessivarium {
namespace {

struct SharingCase {
  ToolType a, b;
  bool same;
};

TEST(DAEEncoders, PaintPassesAreSharedWithinAFamilyOnly) {
  auto& registry = DAEEncoders();
  const SharingCase cases[] = {
      {ToolType::flatBrush, ToolType::bigFlatBrush, true}, {ToolType::fanBrush, ToolType::smallFilbertBrush, true},
      {ToolType::knife1, ToolType::knife6, true},          {ToolType::wideBrush, ToolType::flatBrush, false},
      {ToolType::wideBrush, ToolType::extraWideBrush, true}, {ToolType::knife3, ToolType::flatBrush, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(registry.getPaintEncoder(c.a) == registry.getPaintEncoder(c.b), c.same)
        << describe(c.a) << " / " << describe(c.b);
  }
  EXPECT_EQ(registry.getPaintEncoder(ToolType::roundBrush)->shaderName(), "DAEToolModel_brush_bristle_paint");
  EXPECT_EQ(registry.getPaintEncoder(ToolType::wideBrush)->shaderName(), "DAEToolModel_wide_brush_paint");
  EXPECT_EQ(registry.getPaintEncoder(ToolType::sander)->shaderName(), "Sander_paint");
  EXPECT_EQ(registry.getPickupEncoder(ToolType::bigFanBrush)->shaderName(), "DAEToolModel_brush_pickup");
  EXPECT_EQ(registry.getColorFillEncoder(ToolType::smallWideBrush)->shaderName(), "DAEToolModel_wide_brush_fill");
  EXPECT_EQ(registry.getColorFillEncoder(ToolType::knife2)->shaderName(), "DAEToolModel_knife_fill");
}

TEST(DAEEncoders, BlurIsChosenByType) {
  auto& registry = DAEEncoders();
  const auto common = registry.getTextureBlur(ToolType::knife3);
  EXPECT_EQ(common->shaderName(), "DAEToolModel_blur_image");
  for (ToolType t : {ToolType::flatBrush, ToolType::tube, ToolType::roller}) EXPECT_EQ(registry.getTextureBlur(t), common);
  EXPECT_EQ(registry.getTextureBlur(ToolType::towel)->shaderName(), "Towel_blur_image");
  EXPECT_EQ(registry.getTextureBlur(ToolType::fluffyMop)->shaderName(), "FluffyMop_blur_image");
  EXPECT_EQ(registry.getTextureBlur(ToolType::sander)->shaderName(), "Sander_blur_image");
}

TEST(DAEEncoders, TypesWithoutAPassStop) {
  EXPECT_FATAL(DAEEncoders().getPaintEncoder(ToolType::smallRoundBrush), "Unsupported yet.");
  EXPECT_FATAL(DAEEncoders().getPaintEncoder(ToolType::tube), "Unsupported yet.");
  EXPECT_FATAL(DAEEncoders().getPickupEncoder(ToolType::towel), "Unsupported yet.");
  EXPECT_FATAL(DAEEncoders().getColorFillEncoder(ToolType::roundBrush), "Unsupported yet.");
}

TEST(DAEEncoders, HandOutsClearPerUseStateWhereTheyShould) {
  auto& registry = DAEEncoders();
  const auto stale = AppManager().device()->makeBuffer(180);
  const auto red = graphics::Color::fromRGBA(0.75, 0.125, 0.25, 1);

  // The pickups come back without colour or record, the brush initialisers (each serving three
  // brush sizes) without record.
  for (ToolType t : {ToolType::flatBrush, ToolType::knife4, ToolType::bigWideBrush}) {
    const auto pickup = registry.getPickupEncoder(t);
    pickup->setColor(red);
    pickup->setDescriptorBuffer(stale);
    const auto again = registry.getPickupEncoder(t);
    EXPECT_EQ(again, pickup);
    EXPECT_FALSE(again->color()) << describe(t);
    EXPECT_FALSE(again->descriptorBuffer()) << describe(t);
  }
  const std::vector<std::function<std::shared_ptr<AbstractDAEEncoderUnit>()>> initialisers{
      [&] { return registry.getInitializer(); }, [&] { return registry.getFanBrushInitializer(); },
      [&] { return registry.getFlatBrushInitializer(); }, [&] { return registry.getFilbertBrushInitializer(); }};
  for (const auto& get : initialisers) {
    get()->setDescriptorBuffer(stale);
    EXPECT_FALSE(get()->descriptorBuffer()) << get()->shaderName();
  }
  const auto knifePaint = std::static_pointer_cast<AbstractDAEEncoderUnit>(registry.getPaintEncoder(ToolType::knife1));
  knifePaint->setDescriptorBuffer(stale);
  EXPECT_FALSE(std::static_pointer_cast<AbstractDAEEncoderUnit>(registry.getPaintEncoder(ToolType::knife5))
                   ->descriptorBuffer());

  // The fill keeps what the last fill set; the height pass keeps its buffer until it runs.
  const auto fill = registry.getColorFillEncoder(ToolType::filbertBrush);
  fill->setColor(red);
  fill->setForce(0.375f);
  fill->setDescriptorBuffer(stale);
  const auto sameFill = registry.getColorFillEncoder(ToolType::fanBrush);
  EXPECT_EQ(sameFill->color(), red);
  EXPECT_EQ(sameFill->force(), 0.375f);
  EXPECT_EQ(sameFill->descriptorBuffer(), stale);

  // The overlay map is emptied on every hand-out.
  const auto map = registry.getTextureOverlayMap();
  const auto texture = AppManager().surfaceTextures().gridTexture0();
  map->setGrid(texture);
  map->setToDry(texture);
  const auto emptied = registry.getTextureOverlayMap();
  EXPECT_EQ(emptied, map);
  EXPECT_FALSE(emptied->grid());
  EXPECT_FALSE(emptied->toDry());
}

// Each family picks paint up with its own kernel.
TEST(DAEEncoders, EachFamilyHasItsOwnPickup) {
  const std::pair<ToolType, const char*> cases[] = {{ToolType::knife5, "DAEToolModel_knife_pickup"},
                                                    {ToolType::smallWideBrush, "DAEToolModel_wide_brush_pickup"},
                                                    {ToolType::filbertBrush, "DAEToolModel_brush_pickup"}};
  for (const auto& [type, kernel] : cases) EXPECT_EQ(DAEEncoders().getPickupEncoder(type)->shaderName(), kernel);
}

}  // namespace
}  // namespace tessivarium
