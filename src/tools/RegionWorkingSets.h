#pragma once
// The working textures a whole-layer rebuild composes its regions in, several regions at once: the
// manager's own set first and, beside it, up to one more set per worker thread. An extra set has its
// own region data (grid, wet and dry, numbered 0) and six rendering textures, the textures a region's
// load and composition write; its other slots are the manager's, which the composition only binds.
// The extra sets are made through the application manager on first use, so that their memory is
// counted, and only while the texture memory limit leaves room for a whole set; they are kept for
// the next rebuild until the manager cleans its resources, or until an undo snapshot finds no room
// (they give way before any undo step does). Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace gpu {
class Texture;
}

namespace tessivarium {

class SurfaceWorkingTextures;

class RegionWorkingSets {
 public:
  // Up to `count` sets, the manager's own (which must be made already) first; fewer when the texture
  // memory has no room for more. Sets made for working textures of another size or format than the
  // manager's are given back first.
  std::vector<std::shared_ptr<SurfaceWorkingTextures>> sets(std::size_t count);
  // The extra sets made so far, and the texture memory they count.
  std::size_t extraSets() const { return extra_.size(); }
  std::int64_t countedBytes() const { return countedBytes_; }
  // Drops the extra sets and gives their textures' memory back to the count.
  void release();

 private:
  // A new extra set beside the manager's `own`; null when there is no room for it.
  std::shared_ptr<SurfaceWorkingTextures> makeSet(SurfaceWorkingTextures& own);

  std::vector<std::shared_ptr<SurfaceWorkingTextures>> extra_;
  std::vector<std::shared_ptr<gpu::Texture>> made_;  // the extra sets' own textures, counted
  std::int64_t countedBytes_ = 0;
};

}  // namespace tessivarium
