// Feeds arbitrary bytes to Scene::load as a ".dae" file. Loading promises to give a scene or throw
// SceneError; anything else (a crash, an abort, a fatal stop, a sanitizer report) is a fault.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "scene/Scene.h"
#include "scene/SceneError.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("tess-scene-fuzz-" + std::to_string(::getpid()) + ".dae");
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  try {
    scene::Scene::load(path);
  } catch (const scene::SceneError&) {
  }
  return 0;
}
