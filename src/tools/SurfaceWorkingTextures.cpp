#include "tools/SurfaceWorkingTextures.h"

#include <utility>

#include "Artwork.h"
#include "ErrorMessage.h"
#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"

namespace tessivarium {

std::size_t widthOf(const std::shared_ptr<gpu::Texture>& texture) { return texture ? texture->width() : 0; }

SurfaceWorkingTextures::SurfaceWorkingTextures() = default;
SurfaceWorkingTextures::~SurfaceWorkingTextures() = default;

const std::shared_ptr<gpu::TextureDescriptor>& SurfaceWorkingTextures::texture2DDescriptor() {
  if (!texture2DDescriptor_) {
    auto descriptor = gpu::TextureDescriptor::make();
    descriptor->width = static_cast<std::size_t>(MAC_WIDTH);
    descriptor->height = static_cast<std::size_t>(MAC_WIDTH);
    descriptor->depth = 1;
    descriptor->textureType = gpu::TextureType::Type2D;
    descriptor->pixelFormat = DefaultPixelFormat;
    texture2DDescriptor_ = std::move(descriptor);
  }
  return texture2DDescriptor_;
}

void SurfaceWorkingTextures::setTexture2DDescriptor(std::shared_ptr<gpu::TextureDescriptor> descriptor) {
  texture2DDescriptor_ = std::move(descriptor);
}

const std::shared_ptr<gpu::Texture>& SurfaceWorkingTextures::madeOnFirstRead(
    std::shared_ptr<gpu::Texture>& slot) {
  // A failed creation leaves the slot absent, so the next read tries again.
  if (!slot) slot = AppManager().makeTexture(*texture2DDescriptor());
  return slot;
}

#define TESS_WORKING_TEXTURE_GETTER(name, Name)                                          \
  const std::shared_ptr<gpu::Texture>& SurfaceWorkingTextures::name() { return madeOnFirstRead(name##_); }
TESS_WORKING_TEXTURES(TESS_WORKING_TEXTURE_GETTER)
#undef TESS_WORKING_TEXTURE_GETTER

void SurfaceWorkingTextures::swapPair(std::shared_ptr<gpu::Texture>& first,
                                      std::shared_ptr<gpu::Texture>& second) {
  madeOnFirstRead(first);
  madeOnFirstRead(second);
  std::swap(first, second);
}

void SurfaceWorkingTextures::swapGridTexture() { swapPair(gridTexture0_, gridTexture1_); }
void SurfaceWorkingTextures::swapWetTexture() { swapPair(wetTexture0_, wetTexture1_); }
void SurfaceWorkingTextures::swapDryTexture() { swapPair(dryTexture0_, dryTexture1_); }

void SurfaceWorkingTextures::loads() {
  if (!makeAll()) throw Error(ErrorMessage::NoMoreHeap);
}

bool SurfaceWorkingTextures::makeAll() {
  using Slot = std::shared_ptr<gpu::Texture> SurfaceWorkingTextures::*;
#define TESS_WORKING_TEXTURE_SLOT_POINTER(name, Name) &SurfaceWorkingTextures::name##_,
  static constexpr Slot order[] = {TESS_WORKING_TEXTURES(TESS_WORKING_TEXTURE_SLOT_POINTER)};
#undef TESS_WORKING_TEXTURE_SLOT_POINTER
  for (Slot member : order) {
    std::shared_ptr<gpu::Texture>& slot = this->*member;
    if (widthOf(madeOnFirstRead(slot)) == texture2DDescriptor()->width) continue;
    // A short texture kept in its slot would fail every later start-up: give it back and forget it,
    // so the next start-up asks for it again.
    if (slot) AppManager().releaseTexture(*slot);
    slot.reset();
    return false;
  }
  return true;
}

}  // namespace tessivarium
