#include "Surface.h"

namespace tessivarium {

Surface::Surface(SurfaceId id, SurfaceCategory category, std::string name, std::string label,
                 std::string iconFile, std::string mapFile, std::string directory)
    : id_(id),
      category_(category),
      name_(std::move(name)),
      label_(std::move(label)),
      iconFile_(std::move(iconFile)),
      mapFile_(std::move(mapFile)),
      directory_(std::move(directory)) {}

const std::vector<std::shared_ptr<Surface>>& AllSurfaces() {
  // The names and folders are host-visible data, spelled as the host has always seen them.
  static const std::vector<std::shared_ptr<Surface>> table = [] {
    using C = SurfaceCategory;
    using I = SurfaceId;
    const char* canvasDir = "Surface/Canvas";
    const char* paperDir = "Surface/Pager";
    auto row = [](I id, C category, const char* name, const char* label, const char* map,
                  const char* dir) {
      return std::make_shared<Surface>(id, category, name, label, "", map, dir);
    };
    return std::vector<std::shared_ptr<Surface>>{
        row(I::Flat, C::All, "Flat", "No Tissue", "", ""),
        row(I::CanvasArmyDuck, C::Canvas, "Canvas Army Duck", "Canvas", "canvas_armyduck_512x512", canvasDir),
        row(I::CanvasWave512, C::Canvas, "Canvas Wave 512", "Canvas", "Weave512", canvasDir),
        row(I::Canvas15Oz, C::Canvas, "Canvas 15Oz", "Canvas", "canvas15oz_512x512", canvasDir),
        row(I::Canvas12Oz, C::Canvas, "Canvas 12Oz", "Canvas", "canvas12oz_512x512", canvasDir),
        row(I::CanvasTriplePrimed, C::Canvas, "Canvas TriplePrimed", "Canvas",
            "canvas_tripleprimed_512x512", canvasDir),
        row(I::CanvasPaperTriplePrimed, C::Canvas, "Canvas in Paper TriplePrimed", "Canvas",
            "canvaspaper_tripleprimed_512x512", canvasDir),
        row(I::CanvasEssentialCanvas, C::Canvas, "Essential Canvas", "Canvas", "Essential Canvas", canvasDir),
        row(I::CanvasSmoothCanvas, C::Canvas, "Smooth Canvas", "Canvas", "Smooth Canvas", canvasDir),
        row(I::PaperHotPress300lb, C::Paper, "Paper HotPress 300lb", "Paper",
            "paper_hotpress300lb_512x512", paperDir),
        row(I::PaperHotPress90lb, C::Paper, "Paper HotPress 90lb", "Paper", "paper_hotpress90lb_512x512",
            paperDir),
        row(I::PaperColdPress300lb, C::Paper, "Paper CouldPress 300lb", "Paper",
            "paper_coldpress300lb_512x512", paperDir),
        row(I::PaperIndiaRough, C::Paper, "Paper India Rough", "Paper", "paper_indiarough_512x512", paperDir),
        row(I::PaperRough901b, C::Paper, "Paper Rough 901b", "Paper", "paper_rough90lb_512x512", paperDir),
    };
  }();
  return table;
}

std::shared_ptr<Surface> Surface::FindSurface(SurfaceId id) {
  for (const auto& surface : AllSurfaces()) {
    if (surface->id() == id) return surface;
  }
  return nullptr;
}

}  // namespace tessivarium
