#pragma once
// Whole strokes on a real canvas with an undo history, for the tools' end-to-end tests: a started
// main canvas of one layer (300 x 200 points unless told) with the tool current, wet paint laid
// straight into the layer's textures (where a tube would lay it), stylus drags routed through the
// canvas three touches to a display frame, and the paint the layer and the tool's head hold.

#include <memory>
#include <vector>

#include "StrokeTouches.h"
#include "TestCanvas.h"
#include "commands/CommandManager.h"
#include "imaging/Image.h"
#include "tools/ToolModel.h"
#include "tools/ToolType.h"
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
  static constexpr std::size_t kWidth = 300, kHeight = 200;

  // At `scale` cells per point; the canvas is made before it becomes the main canvas, so that its
  // own scale sets its cells.
  explicit StrokeCanvas(double scale = 1.0) : StrokeCanvas(kWidth, kHeight, scale) {}
  // Of `width` x `height` points, upright when it is taller than wide.
  StrokeCanvas(std::size_t width, std::size_t height, double scale = 1.0)
      : canvas(std::make_shared<tessivarium::DrawingPaint>(
            tessivarium::MainPaintId,
            flatArtwork(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height), scale,
                        height > width ? tessivarium::PaintOrientation::portail
                                       : tessivarium::PaintOrientation::landscape))) {
    tessivarium::AppManager().setCanvas(canvas);
    tessivarium::AppManager().setCurrentPaint(canvas);
  }

  tessivarium::ArtworkTextures& layer() const { return *canvas->currentContent(); }

  // Makes `tool` current; the first tool starts the canvas (its viewer then measures the head).
  void use(const std::shared_ptr<tessivarium::AbstractDrawingTool>& tool) {
    tessivarium::AppManager().setCurrentTool(tool);
    if (!canvas->isStarted()) {
      canvas->setShadingImage(imaging::Image::fromTexture(tessivarium::AppManager().makeTexture(4, 4)));
    }
    while (ui::FrameSource::main().displayFrame() > 0) {
    }
  }

  // Fully wet paint of colour (r, g, b), `thickness` bytes thick, over cells [x0, x1) x [y0, y1).
  void layWet(std::size_t x0, std::size_t y0, std::size_t x1, std::size_t y1, Bytes paint) {
    Bytes grid = bytesOf(*layer().gridTexture()), wet = bytesOf(*layer().wetTexture());
    const std::size_t width = layer().wetTexture()->width(), height = layer().wetTexture()->height();
    for (std::size_t y = y0; y < y1; ++y)
      for (std::size_t x = x0; x < x1; ++x) {
        std::copy(paint.begin(), paint.end(), wet.begin() + static_cast<std::ptrdiff_t>((y * width + x) * 4));
        grid[(y * width + x) * 4] = 252, grid[(y * width + x) * 4 + 3] = tessivarium::TOOL_FLUID;
      }
    tessivarium::TextureUtil::loadRawData(layer().gridTexture(), grid, width, height, 1);
    tessivarium::TextureUtil::loadRawData(layer().wetTexture(), wet, width, height, 1);
  }

  // A stylus drag from `from` to `to` through `samples` touches of `force` (out of the largest, 4),
  // `perFrame` to a display frame, then lifted; the stroke ends in the frame after the touch-up.
  void drag(graphics::Point from, graphics::Point to, int samples, double force = 1.0, int perFrame = 3) {
    const auto finger = stylusTouch(from.x, from.y, ui::TouchPhase::Moved, force);
    for (int first = 0; first < samples; first += perFrame) {
      std::vector<std::shared_ptr<ui::Touch>> batch;
      for (int i = first; i < std::min(first + perFrame, samples); ++i) {
        const double t = static_cast<double>(i) / (samples - 1);
        const double x = from.x + (to.x - from.x) * t, y = from.y + (to.y - from.y) * t;
        batch.push_back(stylusTouch(x, y, ui::TouchPhase::Moved, force));
      }
      ui::Event event;
      event.setCoalescedTouches(finger, batch);
      const auto phase = first == 0 ? &tessivarium::DrawingPaint::touchesBegan
                         : first + perFrame >= samples ? &tessivarium::DrawingPaint::touchesEnded
                                                : &tessivarium::DrawingPaint::touchesMoved;
      ((*canvas).*phase)(ui::TouchSet{finger}, &event);
      ui::FrameSource::main().displayFrame();
    }
    ui::FrameSource::main().displayFrame();
  }

  // The layer's grid, wet and dry bytes, one after the other.
  Bytes layerBytes() const {
    Bytes all;
    for (const auto& texture : {layer().gridTexture(), layer().wetTexture(), layer().dryTexture()}) {
      const Bytes bytes = bytesOf(*texture);
      all.insert(all.end(), bytes.begin(), bytes.end());
    }
    return all;
  }
  // The wet thickness of every cell, row by row.
  Bytes wet() const {
    const Bytes texels = bytesOf(*layer().wetTexture());
    Bytes out(texels.size() / 4);
    for (std::size_t i = 0; i < out.size(); ++i) out[i] = texels[4 * i + 3];
    return out;
  }
  // The paint the tool's head holds in thickness bytes: one a paint cell (neither air nor body), and
  // on a wide brush's flat head what the ledger, its third slice, counts in the two wells.
  static long headPaint(tessivarium::AbstractDrawingTool& tool) {
    const gpu::Texture& texture = *tool.toolViewer()->toolModel()->colorTexture0();
    const Bytes head = bytesOf(texture);
    long n = 0;
    if (tessivarium::isWideBrush(tool.toolType())) {
      for (std::size_t i = 2 * texture.width() * texture.height() * 4; i < head.size(); i += 4)
        n += head[i + 3] == 255 ? head[i] + head[i + 1] : 0;
      return n;
    }
    for (std::size_t i = 3; i < head.size(); i += 4) n += head[i] != 0 && head[i] != 255;
    return n;
  }
  bool undo() { return canvas->commandManager()->undo() != nullptr; }

  std::shared_ptr<tessivarium::DrawingPaint> canvas;

 private:
  static Bytes bytesOf(const gpu::Texture& texture) { return tessivarium::TextureUtil::toRawData(texture); }
};

}  // namespace testsupport
