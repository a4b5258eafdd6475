#include "utils/DAEResourceManager.h"

#include "foundation/Bundle.h"
#include "foundation/Console.h"
#include "scene/Scene.h"
#include "scene/SceneError.h"

namespace tessivarium {

std::shared_ptr<scene::Scene> DAEResourceManager::getScene(const foundation::Bundle& bundle,
                                                           const std::string& fileName) {
  const std::string key = bundle.root().string() + "/" + fileName;
  if (auto found = map_.find(key); found != map_.end()) return found->second;

  const auto path = bundle.pathForResource(fileName, "dae");
  if (!path) {
    foundation::consoleLine(fileName + " isn't found");
    return nullptr;
  }
  std::shared_ptr<scene::Scene> loaded;
  try {
    loaded = scene::Scene::load(*path);
  } catch (const scene::SceneError&) {
    return nullptr;
  }
  map_.emplace(key, loaded);
  return loaded;
}

namespace {
std::unique_ptr<DAEResourceManager>& cacheSlot() {
  static std::unique_ptr<DAEResourceManager> cache;
  return cache;
}
}  // namespace

DAEResourceManager& DAECacheManager() {
  auto& cache = cacheSlot();
  if (!cache) cache = std::make_unique<DAEResourceManager>();
  return *cache;
}

void resetDAECacheManagerForTesting() { cacheSlot().reset(); }

}  // namespace tessivarium
