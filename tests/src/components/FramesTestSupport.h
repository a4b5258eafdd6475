#pragma once
// What the frame and touch tests share: a real canvas (not the layer tests' TestCanvas, whose
// redraw leaves the tool out) with a FrameTool current, stylus and finger touches, and the display
// frames of the frame source.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "FakeTool.h"
#include "TestCanvas.h"
#include "components/DrawingPaint.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/Touch.h"
#include "ui/TouchSet.h"

namespace framestest {

// A canvas without undo history (the tool base's touch-down then starts no undo step) holding
// `layerCount` layers, the last current.
inline std::shared_ptr<tessivarium::DrawingPaint> makePaint(std::int64_t width, std::int64_t height,
                                                            double scale = 1.0, std::size_t layerCount = 1,
                                                            std::uint64_t paintId = tessivarium::MainPaintId) {
  auto paint = std::make_shared<tessivarium::DrawingPaint>(paintId, testsupport::flatArtwork(width, height, scale), false);
  while (paint->layers().size() < layerCount) paint->doLayerCreate();
  return paint;
}

// Starts the canvas: its shading image set, which makes it current and enables the tool.
inline void start(tessivarium::DrawingPaint& paint) {
  paint.setShadingImage(imaging::Image::fromTexture(tessivarium::AppManager().makeTexture(4, 4)));
}

inline std::shared_ptr<testsupport::FrameTool> useFrameTool() {
  auto tool = std::make_shared<testsupport::FrameTool>();
  tessivarium::AppManager().setCurrentTool(tool);
  return tool;
}

inline std::shared_ptr<ui::Touch> touch(ui::TouchType type, double x = 20, double y = 10,
                                        ui::TouchPhase phase = ui::TouchPhase::Moved) {
  ui::TouchState state;
  state.type = type;
  state.phase = phase;
  state.location = {x, y};
  state.force = 1.0;
  state.maximumPossibleForce = 2.0;
  return ui::Touch::make(state);
}

// Display frames until no view draws, at most `limit`; the number of frames that drew.
inline int framesUntilIdle(int limit = 20) {
  int frames = 0;
  while (frames < limit && ui::FrameSource::main().displayFrame() > 0) ++frames;
  return frames;
}

}  // namespace framestest
