#pragma once
// The cache of loaded 3-D scenes: each scene file is read once per bundle and name and then shared
// by every caller. The map only grows; scenes stay for the life of the process. One instance, the
// global DAECacheManager(), created on first use. Main thread only.

#include <map>
#include <memory>
#include <string>

namespace foundation {
class Bundle;
}

namespace scene {
class Scene;
}

namespace tessivarium {

class DAEResourceManager {
 public:
  DAEResourceManager() = default;
  DAEResourceManager(const DAEResourceManager&) = delete;
  DAEResourceManager& operator=(const DAEResourceManager&) = delete;

  // Every scene loaded so far, under "<bundle root>/<file name>".
  const std::map<std::string, std::shared_ptr<scene::Scene>>& map() const { return map_; }

  // The scene "<fileName>.dae" of `bundle`: the cached one, or the file read now and cached. A
  // missing file prints "<fileName> isn't found" (on every call); a file that cannot be read as a
  // scene gives none silently and is not cached, so a later call tries again.
  std::shared_ptr<scene::Scene> getScene(const foundation::Bundle& bundle, const std::string& fileName);

 private:
  std::map<std::string, std::shared_ptr<scene::Scene>> map_;
};

// The one scene cache of the system.
DAEResourceManager& DAECacheManager();

// Drops the cache so the next use starts empty (tests only).
void resetDAECacheManagerForTesting();

}  // namespace tessivarium
