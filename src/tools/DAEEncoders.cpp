#include "tools/DAEEncoders.h"

#include "foundation/Fatal.h"
#include "tools/AbstractDAEPaintingEncoder.h"
#include "tools/DAEPainting.h"
#include "tools/DAEPaintingShow.h"
#include "tools/DAEToolModelBlur.h"
#include "tools/DAEToolModelOverlay.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/brushes/BrushDAEEncoders.h"
#include "tools/brushes/RoundBrushDAEEncoders.h"
#include "tools/brushes/WideBrushDAEEncoders.h"
#include "tools/dryer/DryerDAEEncoders.h"
#include "tools/fluffyMop/FluffyMopDAEEncoders.h"
#include "tools/knives/KnifeDAEEncoders.h"
#include "tools/roller/RollerDAEEncoders.h"
#include "tools/sander/SanderDAEEncoders.h"
#include "tools/towels/TowelDAEEncoders.h"
#include "tools/turpentine/TurpentineDAEEncoders.h"
#include "tools/wetter/WetterDAEEncoders.h"

namespace tessivarium {
namespace {

std::unique_ptr<DAEEncoderProvider>& registrySlot() {
  static std::unique_ptr<DAEEncoderProvider> registry;
  return registry;
}

template <typename Pass>
const std::shared_ptr<Pass>& madeOnFirstUse(std::shared_ptr<Pass>& slot) {
  if (!slot) slot = std::make_shared<Pass>();
  return slot;
}

// Handed out so that its next binding builds the record of the tool current then.
template <typename Pass>
const std::shared_ptr<Pass>& withFreshDescriptor(std::shared_ptr<Pass>& slot) {
  madeOnFirstUse(slot)->setDescriptorBuffer(nullptr);
  return slot;
}

template <typename Pass>
const std::shared_ptr<Pass>& withoutPickupColor(std::shared_ptr<Pass>& slot, bool clearDescriptor) {
  if (clearDescriptor) withFreshDescriptor(slot);
  madeOnFirstUse(slot)->setColor(std::nullopt);
  return slot;
}

[[noreturn]] void unsupported() { foundation::fatalError("Unsupported yet."); }

}  // namespace

DAEEncoderProvider::DAEEncoderProvider() = default;
DAEEncoderProvider::~DAEEncoderProvider() = default;

std::shared_ptr<DAEMaskerEncoder> DAEEncoderProvider::getMasker() { return madeOnFirstUse(masker_); }

std::shared_ptr<AbstractDAEToolModelBlur> DAEEncoderProvider::getTextureBlur(ToolType toolType) {
  switch (toolType) {
    case ToolType::fluffyMop: return madeOnFirstUse(fluffyMopBlur_);
    case ToolType::turpentine: return madeOnFirstUse(turpentineBlur_);
    case ToolType::towel: return madeOnFirstUse(towelModelBlur_);
    case ToolType::sander: return madeOnFirstUse(sanderBlur_);
    default: return madeOnFirstUse(textureBlur_);
  }
}

std::shared_ptr<DAEToolModelOverlayMap> DAEEncoderProvider::getTextureOverlayMap() {
  madeOnFirstUse(textureOverlayMap_)->reset();
  return textureOverlayMap_;
}

const std::shared_ptr<DAEToolModelDryLayer>& DAEEncoderProvider::getTextureDryLayer() {
  return madeOnFirstUse(textureDryLayer_);
}

const std::shared_ptr<DAEToolModelWetLayer>& DAEEncoderProvider::getTextureWetLayer() {
  return madeOnFirstUse(textureWetLayer_);
}

std::shared_ptr<DAEInitializer> DAEEncoderProvider::getInitializer() { return withFreshDescriptor(initializer_); }

std::shared_ptr<FanBrushInitializer> DAEEncoderProvider::getFanBrushInitializer() {
  return withFreshDescriptor(fanBrushInitializer_);
}

std::shared_ptr<FlatBrushInitializer> DAEEncoderProvider::getFlatBrushInitializer() {
  return withFreshDescriptor(flatBrushInitializer_);
}

std::shared_ptr<FilbertBrushInitializer> DAEEncoderProvider::getFilbertBrushInitializer() {
  return withFreshDescriptor(filbertBrushInitializer_);
}

std::shared_ptr<DAETowelMapPaint> DAEEncoderProvider::getTowelMapPaint() { return madeOnFirstUse(towelMapPaint_); }

std::shared_ptr<AbstractDAEPickupEncoder> DAEEncoderProvider::getPickupEncoder(ToolType toolType) {
  if (isKnife(toolType)) return withoutPickupColor(knifePickup_, true);
  // The wide brushes' head is not measured; its buffer is cleared all the same, so no record of
  // another tool can stay on it.
  if (isWideBrush(toolType)) return withoutPickupColor(wideBrushPickup_, true);
  if (isBrush(toolType)) return withoutPickupColor(brushPickup_, true);
  unsupported();
}

std::shared_ptr<AbstractToolEncoderShader> DAEEncoderProvider::getPaintEncoder(ToolType toolType) {
  if (isKnife(toolType)) return withFreshDescriptor(knifePaint_);
  if (isWideBrush(toolType)) return madeOnFirstUse(wideBrushPaint_);
  if (isBrush(toolType)) return withFreshDescriptor(brushPaint_);
  switch (toolType) {
    case ToolType::fluffyMop: return withFreshDescriptor(fluffyMopPaint_);
    case ToolType::turpentine: return withFreshDescriptor(turpentinePaint_);
    case ToolType::towel: return withFreshDescriptor(towelPaint_);
    case ToolType::roundBrush: return madeOnFirstUse(roundBrushPaint_);
    case ToolType::roller: return withFreshDescriptor(rollerPaint_);
    case ToolType::sander: return withFreshDescriptor(sanderPaint_);
    default: unsupported();
  }
}

std::shared_ptr<DryerDAEEncoder> DAEEncoderProvider::getDryerEncoder() { return madeOnFirstUse(dryer_); }

std::shared_ptr<WetterDAEEncoder> DAEEncoderProvider::getWetterEncoder() { return madeOnFirstUse(wetterPaint_); }

std::shared_ptr<DryerDAEInitEncoder> DAEEncoderProvider::getDryerInitializer() { return madeOnFirstUse(dryerInit_); }

std::shared_ptr<WetterDAEDryInitEncoder> DAEEncoderProvider::getWetterInitializer() {
  return madeOnFirstUse(wetterInit_);
}

std::shared_ptr<AbstractDAEColorFillEncoder> DAEEncoderProvider::getColorFillEncoder(ToolType toolType) {
  if (isKnife(toolType)) return madeOnFirstUse(knifeDAEColorFillEncoder_);
  if (isWideBrush(toolType)) return madeOnFirstUse(wideBrushDAEColorFillEncoder_);
  if (isBrush(toolType)) return madeOnFirstUse(brushDAEColorFillEncoder_);
  unsupported();
}

std::shared_ptr<DAEPaintingHeight> DAEEncoderProvider::getPaintHeight() { return madeOnFirstUse(paintHeight_); }

std::shared_ptr<DAEPaintingRender> DAEEncoderProvider::getPaintRender() { return madeOnFirstUse(paintRender_); }

DAEEncoderProvider& DAEEncoders() {
  auto& slot = registrySlot();
  if (!slot) slot = std::make_unique<DAEEncoderProvider>();
  return *slot;
}

void resetDAEEncodersForTesting() { registrySlot().reset(); }

std::shared_ptr<ToolEncoder> makeDAEPainting(DrawingTool& tool) { return std::make_shared<DAEPainting>(tool); }

std::shared_ptr<ToolEncoder> makeDAEPaintingShow() { return std::make_shared<DAEPaintingShow>(); }

}  // namespace tessivarium
