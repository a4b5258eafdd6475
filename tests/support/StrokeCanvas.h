#pragma once
// Whole strokes on a real canvas with an undo history, for the tools' end-to-end tests: a started
// main canvas of one layer with the tool current, wet paint laid straight into the layer's textures
// (as a tube would lay it), stylus drags routed through the canvas one display frame per batch of
// touches, and the paint a layer or a tool head holds.

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "src/tools/StrokeTouches.h"
#include "Surface.h"
#include "commands/CommandManager.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "gpu/Texture.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DrawingTool.h"
#include "tools/ToolModel.h"
#include "tools/ToolViewer.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/TouchSet.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace testsupport {

class StrokeCanvas {
 public:
  using Bytes = std::vector<std::uint8_t>;
  struct Rect {
    std::size_t x0, y0, x1, y1;
  };

  // A width x height main canvas at scale 1 on the flat surface, keeping its history, made the
  // manager's canvas. It starts with the first tool used.
  StrokeCanvas(std::int64_t width = 300, std::int64_t height = 200)
      : canvas(std::make_shared<tessivarium::DrawingPaint>(
            tessivarium::MainPaintId,
            std::make_shared<tessivarium::Artwork>("stroke", width, height,
                                                   tessivarium::Surface::FindSurface(tessivarium::SurfaceId::Flat),
                                                   tessivarium::PaintOrientation::landscape, 1.0))) {
    tessivarium::AppManager().setCanvas(canvas);
    tessivarium::AppManager().setCurrentPaint(canvas);
  }

  tessivarium::ArtworkTextures& layer() const { return *canvas->currentContent(); }

  // Makes `tool` current; the first time the canvas starts with it (its viewer measures the head).
  void use(const std::shared_ptr<tessivarium::AbstractDrawingTool>& tool) {
    tessivarium::AppManager().setCurrentTool(tool);
    if (!canvas->isStarted()) {
      canvas->setShadingImage(imaging::Image::fromTexture(tessivarium::AppManager().makeTexture(4, 4)));
    }
    while (ui::FrameSource::main().displayFrame() > 0) {
    }
  }

  // Fully wet paint of colour (r, g, b), `thickness` bytes thick, over `area` of the layer.
  void layWet(const Rect& area, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t thickness) {
    auto grid = bytesOf(*layer().gridTexture()), wet = bytesOf(*layer().wetTexture());
    const std::size_t width = layer().wetTexture()->width();
    for (std::size_t y = area.y0; y < area.y1; ++y)
      for (std::size_t x = area.x0; x < area.x1; ++x) {
        const std::size_t i = (y * width + x) * 4;
        wet[i] = r, wet[i + 1] = g, wet[i + 2] = b, wet[i + 3] = thickness;
        grid[i] = 252, grid[i + 3] = tessivarium::TOOL_FLUID;
      }
    load(layer().gridTexture(), grid);
    load(layer().wetTexture(), wet);
  }

  // A stylus drag from `from` to `to` through `samples` touches, three to a display frame, then
  // lifted: the stroke ends in the frame after the touch-up.
  void drag(graphics::Point from, graphics::Point to, int samples) {
    const auto finger = stylusTouch(from.x, from.y);
    std::vector<std::shared_ptr<ui::Touch>> touches;
    for (int i = 0; i < samples; ++i) {
      const double t = samples > 1 ? static_cast<double>(i) / (samples - 1) : 0;
      touches.push_back(stylusTouch(from.x + (to.x - from.x) * t, from.y + (to.y - from.y) * t));
    }
    for (std::size_t first = 0; first < touches.size(); first += 3) {
      const std::vector<std::shared_ptr<ui::Touch>> batch(
          touches.begin() + static_cast<std::ptrdiff_t>(first),
          touches.begin() + static_cast<std::ptrdiff_t>(std::min(first + 3, touches.size())));
      ui::Event event;
      event.setCoalescedTouches(finger, batch);
      if (first == 0) {
        canvas->touchesBegan(ui::TouchSet{finger}, &event);
      } else if (first + 3 >= touches.size()) {
        canvas->touchesEnded(ui::TouchSet{finger}, &event);
      } else {
        canvas->touchesMoved(ui::TouchSet{finger}, &event);
      }
      ui::FrameSource::main().displayFrame();
    }
    ui::FrameSource::main().displayFrame();
  }

  // The layer's grid, wet and dry bytes, one after the other.
  Bytes layerBytes() const {
    Bytes all;
    for (const auto* texture : {&layer().gridTexture(), &layer().wetTexture(), &layer().dryTexture()}) {
      const Bytes b = bytesOf(**texture);
      all.insert(all.end(), b.begin(), b.end());
    }
    return all;
  }

  // The wet paint over `area` of the layer (all of it by default), in thickness bytes, and the
  // thickness-weighted mean of its x.
  long wetPaint(std::optional<Rect> area = std::nullopt) const {
    const Bytes wet = bytesOf(*layer().wetTexture());
    const std::size_t width = layer().wetTexture()->width(), height = layer().wetTexture()->height();
    const Rect r = area.value_or(Rect{0, 0, width, height});
    long sum = 0;
    for (std::size_t y = r.y0; y < std::min(r.y1, height); ++y)
      for (std::size_t x = r.x0; x < std::min(r.x1, width); ++x) sum += wet[(y * width + x) * 4 + 3];
    return sum;
  }
  // The wet thickness of every cell, row by row.
  Bytes wetThickness() const {
    const Bytes wet = bytesOf(*layer().wetTexture());
    Bytes out(wet.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = wet[4 * i + 3];
    return out;
  }
  double wetCentreX() const {
    const Bytes wet = bytesOf(*layer().wetTexture());
    const std::size_t width = layer().wetTexture()->width();
    double weighted = 0, sum = 0;
    for (std::size_t i = 3; i < wet.size(); i += 4) weighted += wet[i] * static_cast<double>((i / 4) % width), sum += wet[i];
    return sum > 0 ? weighted / sum : 0;
  }

  // The paint the tool's head holds: its cells that are neither air nor body.
  static long headPaint(tessivarium::AbstractDrawingTool& tool) {
    const auto& model = tool.toolViewer()->toolModel();
    if (!model) return 0;
    const Bytes head = bytesOf(*model->colorTexture0());
    long n = 0;
    for (std::size_t i = 3; i < head.size(); i += 4) n += head[i] != 0 && head[i] != 255;
    return n;
  }

  // Undoes the last step of the history; false when there was none.
  bool undo() { return canvas->commandManager()->undo() != nullptr; }

  std::shared_ptr<tessivarium::DrawingPaint> canvas;

 private:
  static Bytes bytesOf(const gpu::Texture& texture) { return tessivarium::TextureUtil::toRawData(texture); }
  static void load(const std::shared_ptr<gpu::Texture>& texture, const Bytes& bytes) {
    tessivarium::TextureUtil::loadRawData(texture, bytes, texture->width(), texture->height(), 1);
  }
};

}  // namespace testsupport
