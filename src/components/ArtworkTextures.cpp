#include "components/ArtworkTextures.h"

#include <string>

#include "foundation/Fatal.h"

namespace tessivarium {
namespace {

[[noreturn]] void notBuilt(const char* member) {
  foundation::fatalError(std::string("ArtworkTextures.") + member + ": not built yet");
}

}  // namespace

ArtworkTextures::ArtworkTextures(DrawingPaint& paint, std::int64_t index) : paint_(&paint), index_(index) {}

ArtworkTextures::~ArtworkTextures() = default;

const std::shared_ptr<ui::GPUView>& ArtworkTextures::metalView() const { notBuilt("metalView"); }

void ArtworkTextures::setDrawingMode(DrawingMode mode) {
  drawingMode_ = mode;
  redraw();
}

void ArtworkTextures::redraw() { metalView()->setPaused(false); }

const std::shared_ptr<gpu::TextureDescriptor>& ArtworkTextures::textureDataDescriptor() {
  notBuilt("textureDataDescriptor");
}
const std::shared_ptr<gpu::Texture>& ArtworkTextures::gridTexture() { notBuilt("gridTexture"); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::wetTexture() { notBuilt("wetTexture"); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::dryTexture() { notBuilt("dryTexture"); }
const std::shared_ptr<gpu::Texture>& ArtworkTextures::paintingTexture() { notBuilt("paintingTexture"); }

void ArtworkTextures::drawableSizeWillChange(ui::GPUView&, graphics::Size) {}

void ArtworkTextures::draw(ui::GPUView&) { notBuilt("draw"); }

}  // namespace tessivarium
