// The four wide brushes, each loaded and drawn down a real canvas with undo through the canvas's
// touch methods: a long band as wide as the head that thins as the load goes, the paint the head
// loses on the canvas byte for byte, undo giving the layer back, and a clean emptying the head.

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

#include "Application.h"
#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "tools/brushes/WideBrushToolViewer.h"
#include "tools/brushes/WideBrushTools.h"

namespace tessivarium {
namespace {

using Bytes = testsupport::StrokeCanvas::Bytes;

constexpr std::size_t kSide = 440, kCentre = 220, kTop = 40, kLength = 360;
// The slow strokes' length: 40 steps of 3 points.
constexpr std::size_t kSlowLength = 120;

// The band a stroke drawn down the canvas's centre left: its rows are those in which at least
// three quarters of the head's width holds paint; its length the longest run of them, its width the
// widest of them, and its paint the thickness of each row over the head's width.
struct Band {
  std::size_t length = 0, width = 0;
  std::vector<long> paint;

  Band(const Bytes& wet, std::size_t headWidth) : paint(kSide) {
    std::size_t run = 0;
    for (std::size_t y = 0; y < kSide; ++y) {
      std::size_t left = kSide, right = 0, under = 0;
      for (std::size_t x = 0; x < kSide; ++x) {
        const std::uint8_t t = wet[y * kSide + x];
        if (t == 0) continue;
        left = std::min(left, x), right = x;
        const bool underHead = x + headWidth / 2 >= kCentre && x < kCentre + headWidth / 2;
        under += underHead, paint[y] += underHead ? t : 0;
      }
      run = under * 4 >= headWidth * 3 ? run + 1 : 0;
      length = std::max(length, run);
      if (run > 0) width = std::max(width, right + 1 - left);
    }
  }
  long paintOver(std::size_t fromTop, std::size_t rows) const {
    long sum = 0;
    for (std::size_t y = kTop + fromTop; y < kTop + fromTop + rows; ++y) sum += paint[y];
    return sum;
  }
};

// Each size on its own canvas: the viewer's scale, the spacing of a first step of two samples 30
// points apart (17 samples at 3, 9 at 5), the measured model, then a stroke at a light and at a
// full force, each from a fresh fill of colour at wetness 0.8 and undone after.
TEST(WideBrushStroke, EachSizeLaysALongBandAsWideAsItsHeadOutOfItsLoadAndUndoes) {
  testsupport::ConsoleCapture console;
  const std::tuple<std::shared_ptr<AbstractWideBrushTool>, float, std::size_t> cases[] = {
      {std::make_shared<SmallWideBrushTool>(), 0.3f, 17}, {std::make_shared<WideBrushTool>(), 0.6f, 17},
      {std::make_shared<BigWideBrushTool>(), 1.0f, 9}, {std::make_shared<ExtraWideBrushTool>(), 3.0f, 9}};
  for (const auto& [brush, scale, samples] : cases) {
    testsupport::StrokeCanvas paint(kSide, kSide);
    paint.use(brush);
    const char* name = describe(brush->toolType());
    EXPECT_FLOAT_EQ(dynamic_cast<WideBrushToolViewer&>(*brush->toolViewer()).scale(), scale * 0.7f) << name;
    auto& surface = *brush->toolSurface();
    surface.reset({std::make_shared<TouchInput>(graphics::Point(100, 80), 1.0f, 1.0f, 0.0f),
                   std::make_shared<TouchInput>(graphics::Point(130, 80), 1.0f, 1.0f, 0.0f)});
    EXPECT_EQ(surface.touchInputData().count(), samples) << name;
    surface.touchEnd();

    auto& model = *brush->toolViewer()->toolModel();
    const std::size_t width = static_cast<std::size_t>(model.width());
    EXPECT_TRUE(model.height() == 12 && model.depth() == 3 && width % 8 == 0) << name;
    EXPECT_EQ(console.linesStartingWith("Box: ").back().rfind("Box: " + std::to_string(width) + " ", 0), 0u) << name;
    const auto fill = [&] { brush->fillColor(graphics::Color::fromRGBA(0.2, 0.5, 0.8, 1.0), 1.0f, 0.8f); };
    const auto before = paint.layerBytes();
    // What a fresh fill lays in a stroke down `length` points of `samples` touches, `perFrame` to a
    // frame.
    const auto stroke = [&](double force, std::size_t length, int samples, int perFrame) {
      fill();
      const long loaded = testsupport::StrokeCanvas::headPaint(*brush);
      EXPECT_EQ(loaded, static_cast<long>(width) * 12 * 255) << name << ": every column's load well full";
      paint.drag({kCentre, kTop}, {kCentre, static_cast<double>(kTop + length)}, samples, force * 4 / Application().sensibility(),
                 perFrame);
      const Bytes wet = paint.wet();
      long laid = 0;
      for (const std::uint8_t t : wet) laid += t;
      EXPECT_EQ(loaded - testsupport::StrokeCanvas::headPaint(*brush), laid) << name << " at " << force;
      return std::pair{wet, laid};
    };
    const auto undo = [&] {
      ASSERT_TRUE(paint.undo()) << name;
      EXPECT_EQ(paint.layerBytes(), before) << name;
    };
    for (const double force : {0.5, 1.0}) {
      const Band band(stroke(force, kLength, 37, 3).first, width);
      EXPECT_GE(band.length, 300u) << name << " at " << force;
      EXPECT_TRUE(band.width >= width && band.width <= width + 4) << name << " at " << force << ": " << band.width;
      EXPECT_GT(band.paintOver(0, 60), band.paintOver(240, 60)) << name << " at " << force << ": thinning as it goes";
      undo();
    }
    // Samples 3 points apart, closer than the brush spaces them: one a frame (a slow stroke), each
    // step learns how far the head came from the step before, and the brush lays as much.
    const long threeAFrame = stroke(1.0, kSlowLength, 41, 3).second;
    undo();
    EXPECT_NEAR(stroke(1.0, kSlowLength, 41, 1).second, threeAFrame, threeAFrame / 20) << name << ": one sample a frame";
    undo();
    // Samples a point apart and four apart over the same path: the brush smears the paint it meets
    // up by the distance, as it lays, so a slow stroke lays as much as a quick one.
    const long fourApart = stroke(1.0, kLength, 91, 4).second;
    undo();
    EXPECT_NEAR(stroke(1.0, kLength, 361, 4).second, fourApart, fourApart / 10) << name << ": samples a point apart";
    undo();

    // A clean empties every texel of the current pattern and leaves the other copy.
    fill();
    const Bytes other(width * 12 * 3 * 4, 7);
    TextureUtil::loadRawData(model.colorTexture1(), other, model.width(), 12, 3);
    brush->clean();
    EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture0()), Bytes(other.size(), 0)) << name;
    EXPECT_EQ(TextureUtil::toRawData(*model.colorTexture1()), other) << name;
  }
}

}  // namespace
}  // namespace tessivarium
