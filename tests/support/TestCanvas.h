#pragma once
// Real canvases for tests: a canvas on the flat surface with a given number of layers (the last
// current), whose redraw sets the mode on its layers as the touch routing's redraw does, without
// the current tool's notification (that comes with the tool framework), and records each mode.
// useFakeTool() makes a recording tool current, so that enabling the tool (the shading image)
// works.

#include <cstdint>
#include <memory>
#include <vector>

#include "FakeTool.h"
#include "Surface.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "tools/ApplicationManager.h"

namespace testsupport {

class TestCanvas : public tessivarium::DrawingPaint {
 public:
  using DrawingPaint::DrawingPaint;

  void redraw(tessivarium::DrawingMode mode = tessivarium::DrawingMode::Refresh) override {
    redraws.push_back(mode);
    for (const auto& layer : layers()) layer->setDrawingMode(mode);
  }

  // Adds a layer at the front and returns it.
  std::shared_ptr<tessivarium::ArtworkTextures> addLayer() {
    doLayerCreate();
    return layers().back();
  }
  tessivarium::ArtworkTextures& layer(std::size_t i) const { return *layers().at(i); }

  std::vector<tessivarium::DrawingMode> redraws;
};

inline std::shared_ptr<tessivarium::Artwork> flatArtwork(
    std::int64_t width, std::int64_t height, double scale = 1.0,
    tessivarium::PaintOrientation orientation = tessivarium::PaintOrientation::landscape) {
  return std::make_shared<tessivarium::Artwork>(
      "test", width, height, tessivarium::Surface::FindSurface(tessivarium::SurfaceId::Flat), orientation, scale);
}

// A canvas of width x height pixels at `scale` cells per pixel with `layerCount` layers (at least
// the one its construction makes); the last layer is current.
inline std::shared_ptr<TestCanvas> makeCanvas(std::int64_t width, std::int64_t height, double scale = 1.0,
                                              std::size_t layerCount = 1,
                                              std::uint64_t paintId = tessivarium::MainPaintId,
                                              bool supportCommand = true) {
  auto canvas = std::make_shared<TestCanvas>(paintId, flatArtwork(width, height, scale), supportCommand);
  while (canvas->layers().size() < layerCount) canvas->addLayer();
  return canvas;
}

inline std::shared_ptr<FakeTool> useFakeTool() {
  auto tool = std::make_shared<FakeTool>(tessivarium::ToolType::filbertBrush);
  tessivarium::AppManager().setCurrentTool(tool);
  return tool;
}

}  // namespace testsupport
