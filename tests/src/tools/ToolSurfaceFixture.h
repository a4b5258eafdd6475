#pragma once
// A real canvas made the main and current canvas, and a real drawing tool whose stroke surface is
// made in its two steps; the tool may be told to choose a given window corner.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "TestCanvas.h"
#include "gpu/Buffer.h"
#include "tools/ApplicationManager.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "tools/TouchInput.h"

namespace surfacetest {

using namespace tessivarium;

class SurfaceTool : public AbstractDrawingTool {
 public:
  using AbstractDrawingTool::AbstractDrawingTool;

  std::shared_ptr<ToolSurface> createToolSurface() override { return ToolSurface::make(*this); }
  gpu::uint3 findWorkingOffset(const std::vector<graphics::Point>& points, float azimuth) override {
    return corner ? *corner : AbstractDrawingTool::findWorkingOffset(points, azimuth);
  }

  std::optional<gpu::uint3> corner;  // when set, every new window opens here
};

inline std::shared_ptr<TouchInput> at(double x, double y, float force = 0.4f, float altitude = 0.6f,
                                      float azimuth = 1.2f) {
  return std::make_shared<TouchInput>(graphics::Point{x, y}, force, altitude, azimuth);
}

template <class T>
std::vector<T> valuesOf(const std::shared_ptr<gpu::Buffer>& buffer) {
  if (!buffer) return {};
  std::vector<T> values(buffer->length() / sizeof(T));
  std::memcpy(values.data(), buffer->contents(), values.size() * sizeof(T));
  return values;
}

class ToolSurfaceTest : public ::testing::Test {
 protected:
  ToolSurfaceTest() { useCanvas(1024, 768); }

  void useCanvas(std::int64_t width, std::int64_t height, double scale = 1.0) {
    canvas = testsupport::makeCanvas(width, height, scale);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    AppManager().surfaceTextures().loads();  // as the application's start-up does
    if (tool) tool->switchTo(*canvas);
  }
  SurfaceTool& useTool(ToolType type) {
    tool = std::make_shared<SurfaceTool>(type);
    tool->switchTo(*canvas);
    return *tool;
  }
  ToolSurface& surface() { return *tool->toolSurface(); }
  // The canvas cells of the uploaded samples (window-local positions plus the window's corner).
  std::vector<graphics::Point> uploadedInCanvas() {
    const auto& data = surface().touchInputData();
    std::vector<graphics::Point> points;
    for (std::int64_t i = 0; i < data.count(); ++i) {
      points.push_back({data.locations()[3 * i] + static_cast<double>(surface().offset().x),
                        data.locations()[3 * i + 1] + static_cast<double>(surface().offset().y)});
    }
    return points;
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<SurfaceTool> tool;
};

}  // namespace surfacetest
