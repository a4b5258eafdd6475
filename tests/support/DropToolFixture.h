#pragma once
// The drop tools on a real, started 300 x 200 main canvas with undo: touches reach the current
// tool through the canvas and each display frame draws them, as on the screen.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "StrokeTouches.h"
#include "TestCanvas.h"
#include "commands/Command.h"
#include "components/ArtworkTextures.h"
#include "components/DrawingPaint.h"
#include "foundation/Clock.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/sprayer/SprayerTool.h"
#include "tools/tubes/TubeTool.h"
#include "ui/Event.h"
#include "ui/FrameSource.h"
#include "ui/GPUView.h"
#include "ui/TouchSet.h"
#include "utils/TextureUtil.h"

namespace droptest {

using namespace tessivarium;

// A layer's grid, wet and dry bytes, one after the other.
inline std::vector<std::uint8_t> layerBytes(ArtworkTextures& layer) {
  std::vector<std::uint8_t> out;
  for (const auto& t : {layer.gridTexture(), layer.wetTexture(), layer.dryTexture()}) {
    const auto bytes = TextureUtil::toRawData(*t);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

inline std::shared_ptr<TouchInput> sample(double x, double y, float force = 0.75f) {
  return std::make_shared<TouchInput>(graphics::Point{x, y}, force, 0.9f, 0.4f);
}

class DropToolTest : public ::testing::Test {
 protected:
  DropToolTest() {
    DEBUG_DAE_KNIFE = KnifeDebugMode::None;
    canvas = start(testsupport::makeCanvas(300, 200));
  }

  // Makes `paint` the main and current canvas and starts it, with the tube current.
  std::shared_ptr<testsupport::TestCanvas> start(std::shared_ptr<testsupport::TestCanvas> paint) {
    AppManager().setCanvas(paint);
    AppManager().setCurrentPaint(paint);
    AppManager().setCurrentTool(AppManager().tube());
    paint->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(4, 4)));
    while (ui::FrameSource::main().displayFrame() > 0) {
    }
    return paint;
  }

  // One phase of a stroke through the canvas, then one display frame.
  void touch(void (DrawingPaint::*phase)(const ui::TouchSet&, const ui::Event*), std::vector<graphics::Point> points) {
    ui::Event event;
    std::vector<std::shared_ptr<ui::Touch>> coalesced;
    for (const auto& p : points) coalesced.push_back(testsupport::stylusTouch(p.x, p.y));
    event.setCoalescedTouches(finger, coalesced);
    ((*canvas).*phase)(ui::TouchSet{finger}, &event);
    ui::FrameSource::main().displayFrame();
  }
  void stroke(const std::vector<std::vector<graphics::Point>>& frames) {
    for (std::size_t i = 0; i < frames.size(); ++i) {
      touch(i == 0 ? &DrawingPaint::touchesBegan
                   : i + 1 == frames.size() ? &DrawingPaint::touchesEnded : &DrawingPaint::touchesMoved,
            frames[i]);
    }
  }

  // A stroke drawn straight through `tool` into a new record, `perFrame` samples a frame; the samples
  // left over are still pending at the stroke's end, as when another layer's closing frame came first.
  void drawThrough(AbstractDropTool& tool, const TouchInputs& samples, std::size_t perFrame) {
    tool.setCommand(std::make_shared<Command>(tool.toolType(), foundation::Date::now()));
    std::size_t drawn = 0;
    for (; drawn + perFrame <= samples.size(); drawn += perFrame) {
      tool.setTouchInputs(TouchInputs(samples.begin() + drawn, samples.begin() + drawn + perFrame));
      tool.interactiveDraw(*canvas, nullptr);
    }
    tool.setTouchInputs(TouchInputs(samples.begin() + drawn, samples.end()));
    tool.handleEnd(*canvas);
  }

  // Masks the canvas's cells left of column `edge`.
  void maskLeftOf(std::size_t edge) {
    const std::size_t width = layer().wetTexture()->width(), height = layer().wetTexture()->height();
    const auto mask = AppManager().makeTexture(static_cast<std::int64_t>(width), static_cast<std::int64_t>(height));
    std::vector<std::uint8_t> bytes(width * height * 4, 255);
    for (std::size_t y = 0; y < height; ++y)
      for (std::size_t x = 0; x < edge; ++x) bytes[(y * width + x) * 4 + 3] = 0;
    TextureUtil::loadRawData(mask, bytes, width, height, 1);
    canvas->setMaskTexture(mask);
  }

  ArtworkTextures& layer() { return *canvas->currentContent(); }
  // Frames drawn straight through the tool, several in one display frame: committed, not shown.
  static void withholdDrawables() {
    ui::GPUView::setDrawableWithheld([](const ui::GPUView&) { return true; });
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<ui::Touch> finger = testsupport::stylusTouch(0, 0);
};

}  // namespace droptest
