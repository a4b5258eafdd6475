#include "tools/DAEEncoders.h"

#include "foundation/Fatal.h"
#include "tools/DAEToolModelOverlay.h"

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

}  // namespace

DAEEncoderProvider::DAEEncoderProvider() = default;
DAEEncoderProvider::~DAEEncoderProvider() = default;

const std::shared_ptr<DAEToolModelDryLayer>& DAEEncoderProvider::getTextureDryLayer() {
  return madeOnFirstUse(textureDryLayer_);
}

const std::shared_ptr<DAEToolModelWetLayer>& DAEEncoderProvider::getTextureWetLayer() {
  return madeOnFirstUse(textureWetLayer_);
}

DAEEncoderProvider& DAEEncoders() {
  auto& slot = registrySlot();
  if (!slot) slot = std::make_unique<DAEEncoderProvider>();
  return *slot;
}

void resetDAEEncodersForTesting() { registrySlot().reset(); }

std::shared_ptr<ToolEncoder> makeDAEPainting(DrawingTool&) { foundation::fatalError("DAEPainting: not built yet"); }

std::shared_ptr<ToolEncoder> makeDAEPaintingShow() { foundation::fatalError("DAEPaintingShow: not built yet"); }

}  // namespace tessivarium
