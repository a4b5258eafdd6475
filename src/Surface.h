#pragma once
// The grounds an artwork is painted on: the flat ground, eight canvases and five papers.

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tessivarium {

enum class SurfaceCategory { All, Canvas, Paper };

enum class SurfaceId {
  Flat,
  CanvasArmyDuck,
  CanvasWave512,
  Canvas15Oz,
  Canvas12Oz,
  CanvasTriplePrimed,
  CanvasPaperTriplePrimed,
  CanvasEssentialCanvas,
  CanvasSmoothCanvas,
  PaperHotPress300lb,
  PaperHotPress90lb,
  PaperColdPress300lb,
  PaperIndiaRough,
  PaperRough901b,
};

// An immutable surface record. The strings are the host's to show; the system reads only `id` and
// `mapFile` (the name of the ground's map image among the resources).
class Surface {
 public:
  Surface(SurfaceId id, SurfaceCategory category, std::string name, std::string label,
          std::string iconFile, std::string mapFile, std::string directory);

  SurfaceId id() const { return id_; }
  SurfaceCategory category() const { return category_; }
  const std::string& name() const { return name_; }
  const std::string& label() const { return label_; }
  const std::string& iconFile() const { return iconFile_; }
  const std::string& mapFile() const { return mapFile_; }
  const std::string& directory() const { return directory_; }

  // The surface of `id` in AllSurfaces(), or null.
  static std::shared_ptr<Surface> FindSurface(SurfaceId id);

 private:
  SurfaceId id_;
  SurfaceCategory category_;
  std::string name_, label_, iconFile_, mapFile_, directory_;
};

// Every surface, in SurfaceId order (row i has the id of index i).
const std::vector<std::shared_ptr<Surface>>& AllSurfaces();

}  // namespace tessivarium
