#include "tools/RegionWorkingSets.h"

#include <cstdint>
#include <iterator>

#include "gpu/Texture.h"
#include "gpu/TextureDescriptor.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"

namespace tessivarium {

std::shared_ptr<SurfaceWorkingTextures> RegionWorkingSets::makeSet(SurfaceWorkingTextures& own) {
  auto& manager = AppManager();
  const gpu::TextureDescriptor& descriptor = *own.texture2DDescriptor();
  using Setter = void (SurfaceWorkingTextures::*)(std::shared_ptr<gpu::Texture>);
  static constexpr Setter kOwn[] = {
      &SurfaceWorkingTextures::setGridTexture0,          &SurfaceWorkingTextures::setWetTexture0,
      &SurfaceWorkingTextures::setDryTexture0,           &SurfaceWorkingTextures::setRenderingTexture,
      &SurfaceWorkingTextures::setRenderingAlphaTexture, &SurfaceWorkingTextures::setRenderingColorTexture,
      &SurfaceWorkingTextures::setRenderingDryTexture,   &SurfaceWorkingTextures::setRenderingDryColorTexture,
      &SurfaceWorkingTextures::setRenderingDryAlphaTexture};
  const auto bytes = static_cast<std::int64_t>(std::size(kOwn)) * ApplicationManager::countedBytes(descriptor);
  if (!manager.hasRoomFor(bytes)) return nullptr;

  auto set = std::make_shared<SurfaceWorkingTextures>();
  set->setTexture2DDescriptor(own.texture2DDescriptor());
  // Bound by the composition's passes, written by none of them: the manager's serve every set.
  set->setGridTexture1(own.gridTexture1());
  set->setWetTexture1(own.wetTexture1());
  set->setDryTexture1(own.dryTexture1());
  std::vector<std::shared_ptr<gpu::Texture>> made;
  for (const Setter setter : kOwn) {
    auto texture = manager.makeTexture(descriptor);
    if (texture) made.push_back(texture);
    if (!texture || texture->width() != descriptor.width) {
      // The machine gave no more: what this set counted is given back, and it is not made.
      for (const auto& t : made) manager.releaseTexture(*t);
      return nullptr;
    }
    ((*set).*setter)(std::move(texture));
  }
  made_.insert(made_.end(), made.begin(), made.end());
  countedBytes_ += bytes;
  return set;
}

void RegionWorkingSets::release() {
  for (const auto& texture : made_) AppManager().releaseTexture(*texture);
  made_.clear();
  extra_.clear();
  countedBytes_ = 0;
}

std::vector<std::shared_ptr<SurfaceWorkingTextures>> RegionWorkingSets::sets(std::size_t count) {
  auto& manager = AppManager();
  std::vector<std::shared_ptr<SurfaceWorkingTextures>> sets{manager.sharedSurfaceTextures()};
  // Sets made for working textures of another size or format than the manager's now serve no more.
  const gpu::TextureDescriptor& own = *manager.surfaceTextures().texture2DDescriptor();
  if (!made_.empty() && (made_.front()->width() != own.width || made_.front()->height() != own.height ||
                         made_.front()->pixelFormat() != own.pixelFormat))
    release();
  while (extra_.size() + 1 < count) {
    auto set = makeSet(manager.surfaceTextures());
    if (!set) break;
    extra_.push_back(std::move(set));
  }
  for (std::size_t i = 0; i < extra_.size() && sets.size() < count; ++i) sets.push_back(extra_[i]);
  return sets;
}

}  // namespace tessivarium
