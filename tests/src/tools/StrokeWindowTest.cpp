#include "tools/ToolSurface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <string>

#include "ConsoleCapture.h"
#include "ToolSurfaceFixture.h"
#include "gpu/Gpu.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/ToolEncoder.h"

namespace surfacetest {
namespace {

using StrokeWindow = ToolSurfaceTest;

TEST_F(StrokeWindow, SpacesEachStepByTheToolsGranularity) {
  struct Case {
    ToolType type;
    double dx, dy;  // from the first sample to the second
    std::size_t uploaded;
  };
  const Case cases[] = {
      {ToolType::filbertBrush, 3.0, 4.0, 2},     // exactly 5 apart: no midpoint
      {ToolType::filbertBrush, 10.25, 0.0, 5},   // 2 x 5 + e: three midpoints
      {ToolType::smallFlatBrush, 3.0, 0.0, 2},   // exactly 3
      {ToolType::knife4, 0.0, 6.125, 5},         // 2 x 3 + e
      {ToolType::roller, 11.0, 0.0, 2},          // the other tools: 11
      {ToolType::roller, 0.0, 22.125, 5},
      {ToolType::tube, 10.25, 0.0, 2},           // never spaced
      {ToolType::bigFanBrush, 10.25, 0.0, 5},    // every brush, the big fan too
  };
  for (const auto& c : cases) {
    useTool(c.type);
    surface().reset({at(400.25, 300.5, 0.2f, 0.3f, 5.5f), at(400.25 + c.dx, 300.5 + c.dy, 0.6f, 0.9f, 0.5f)});
    const auto points = uploadedInCanvas();
    ASSERT_EQ(points.size(), c.uploaded) << describe(c.type) << " " << c.dx << ", " << c.dy;
    // Inserted samples lie evenly on the segment, at repeated halvings.
    for (std::size_t i = 0; i < points.size(); ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(points.size() - 1);
      EXPECT_NEAR(points[i].x, 400.25 + t * c.dx, 1e-4) << describe(c.type) << " sample " << i;
      EXPECT_NEAR(points[i].y, 300.5 + t * c.dy, 1e-4) << describe(c.type) << " sample " << i;
    }
    if (c.uploaded == 5) {
      // The middle sample is the plain mean, angles included (no wrap-around).
      const auto& data = surface().touchInputData();
      EXPECT_FLOAT_EQ(data.forces()[1], 0.3f);
      EXPECT_FLOAT_EQ(data.altitudes()[2], 0.6f);
      EXPECT_FLOAT_EQ(data.azimuths()[2], 3.0f);
    }
  }
}

TEST_F(StrokeWindow, SpacesTheFirstSampleOfAStepFromTheLastOneUploaded) {
  useTool(ToolType::filbertBrush);
  surface().reset({at(400.25, 300.5)});
  surface().reset({at(410.5, 300.5)});
  const auto points = uploadedInCanvas();
  ASSERT_EQ(points.size(), 4u);  // three midpoints, then the sample; the earlier one is not repeated
  EXPECT_NEAR(points[0].x, 402.8125, 1e-4);
  EXPECT_NEAR(points[3].x, 410.5, 1e-4);
  EXPECT_EQ(tool->touchCount(), 5);
}

TEST_F(StrokeWindow, KeepsTheLoadedWindowOnlyInsideItsReuseBand) {
  useTool(ToolType::tube);
  // The default viewer is 73 cells wide: the band is 73.6 < p < 183 on both axes, all strict.
  struct Case {
    double x, y;
    bool fits;
  };
  const Case cases[] = {
      {MAC_BORDER, 100.25, false},
      {std::nextafter(MAC_BORDER, 1000.0), 100.25, true},
      {182.75, 100.25, true},
      {183.0, 100.25, false},
      {100.25, MAC_BORDER, false},
      {100.25, 182.75, true},
      {100.25, 183.0, false},
  };
  for (const auto& c : cases) {
    surface().setOffset({0, 0, 0});
    surface().setOrigin(gpu::Origin{0, 0, 0});
    const auto offsetBuffer = surface().offsetBuffer();
    surface().reset({at(c.x, c.y)});
    EXPECT_EQ(surface().useSameRegion(), c.fits) << c.x << ", " << c.y;
    EXPECT_EQ(surface().offsetBuffer() == offsetBuffer, c.fits) << c.x << ", " << c.y;
    EXPECT_EQ(surface().touchInputData().count(), 1);
  }
}

TEST_F(StrokeWindow, ABatchInALoadedWindowKeepsItUntilTheFirstSampleOutside) {
  useTool(ToolType::tube);
  surface().setOffset({640, 384, 0});
  surface().setOrigin(gpu::Origin{640, 384, 0});
  const auto offsetBuffer = surface().offsetBuffer();
  const auto outside = at(1200.5, 500.25), after = at(750.5, 510.25);
  surface().reset({at(740.25, 500.5), at(760.5, 520.75), outside, after});
  EXPECT_EQ(surface().useSameRegion(), true);
  EXPECT_EQ(surface().offset(), (gpu::uint3{640, 384, 0}));
  EXPECT_EQ(surface().offsetBuffer(), offsetBuffer);
  EXPECT_EQ(surface().touchInputData().locations(), (std::vector<float>{100.25f, 116.5f, 5.0f, 120.5f, 136.75f, 5.0f}));
  // The sample after the first misfit waits too, though it would fit.
  EXPECT_EQ(surface().touchInputs(), (TouchInputs{outside, after}));
}

TEST_F(StrokeWindow, ANewWindowTakesTheLeadingRunUnder108Point8CellsOnEachAxis) {
  useTool(ToolType::tube);
  const double R = MAC_REGION_WDITH;
  struct Case {
    std::vector<graphics::Point> samples;
    std::size_t taken;
  };
  const Case cases[] = {
      {{{0, 300}, {R, 310}}, 1},                         // an x extent of exactly 108.8 stops
      {{{0, 300}, {std::nextafter(R, 0.0), 310}}, 2},    // just under it does not
      {{{300, 0}, {310, R}}, 1},                         // the same on y
      {{{50, 300}, {0, 320}, {R, 330}}, 2},              // the box grows both ways
  };
  for (const auto& c : cases) {
    TouchInputs batch;
    for (const auto& p : c.samples) batch.push_back(at(p.x, p.y));
    surface().touchEnd();
    surface().reset(batch);
    EXPECT_EQ(surface().useSameRegion(), false);
    EXPECT_EQ(static_cast<std::size_t>(surface().touchInputData().count()), c.taken) << c.samples.size();
    EXPECT_EQ(surface().touchInputs().size(), c.samples.size() - c.taken);
  }
}

TEST_F(StrokeWindow, TheCarriedListIsReplacedWhenItIsFedBack) {
  useTool(ToolType::tube);
  const auto third = at(MAC_REGION_WDITH, 320), fourth = at(400.5, 330.25);
  surface().reset({at(0, 300), at(50.5, 310.25), third, fourth});
  ASSERT_EQ(surface().touchInputs(), (TouchInputs{third, fourth}));
  surface().reset(surface().touchInputs());
  EXPECT_EQ(surface().touchInputData().count(), 1);
  EXPECT_EQ(surface().touchInputs(), (TouchInputs{fourth}));
  EXPECT_EQ(surface().lastTouchInput(), third);
}

// A stroke dragged off the left or top of the view keeps its samples: the first sample always
// opens the box, wherever it lies.
TEST_F(StrokeWindow, ASampleOffTheLeftOrTopOfTheViewStillOpensAWindow) {
  useTool(ToolType::tube);
  struct Case {
    graphics::Point first, second;
    gpu::uint3 offset;
  };
  const Case cases[] = {
      {{-150.5, 300.25}, {-140.5, 305.25}, {0, 172, 0}},
      {{300.25, -200.5}, {310.25, -190.5}, {172, 0, 0}},
  };
  for (const auto& c : cases) {
    surface().touchEnd();
    surface().reset({at(c.first.x, c.first.y), at(c.second.x, c.second.y)});
    ASSERT_EQ(surface().touchInputData().count(), 2);
    EXPECT_TRUE(surface().touchInputs().empty());
    EXPECT_EQ(surface().offset(), c.offset);
    EXPECT_FLOAT_EQ(surface().touchInputData().locations()[0], static_cast<float>(c.first.x - c.offset.x));
  }
}

TEST_F(StrokeWindow, AnEmptyBatchUploadsNothingAndDropsTheOffset) {
  useTool(ToolType::roller);
  const auto last = at(300.5, 200.25);
  surface().setLastTouchInput(last);
  surface().setOffset({100, 200, 0});
  surface().setOrigin(gpu::Origin{100, 200, 0});
  surface().reset({});
  EXPECT_EQ(surface().offset(), (gpu::uint3{0, 0, 0}));
  EXPECT_EQ(surface().useSameRegion(), false);
  EXPECT_EQ(surface().touchInputData().count(), 0);
  EXPECT_TRUE(surface().touchInputs().empty());
  EXPECT_EQ(surface().lastTouchInput(), last);
  EXPECT_EQ(valuesOf<std::int64_t>(surface().countBuffer()), (std::vector<std::int64_t>{0}));
  EXPECT_FALSE(surface().locationBuffer());  // no buffer has no bytes
}

TEST_F(StrokeWindow, UploadsTheBytesTheKernelsRead) {
  useCanvas(1024, 768, 2.0);  // 2 cells a point
  useTool(ToolType::tube);
  testsupport::ConsoleCapture console;
  DEBUG_CFD = true;
  surface().reset({at(300.25, 200.5, 0.3f, 0.7f, 1.1f), at(310.75, 220.125, 0.45f, 0.65f, -2.5f)});
  // Cells (600.5, 401) and (621.5, 440.25); the window centred on the first: corner (472, 273).
  EXPECT_EQ(valuesOf<std::uint32_t>(surface().offsetBuffer()), (std::vector<std::uint32_t>{472, 273, 0, 0}));
  EXPECT_EQ(valuesOf<std::int64_t>(surface().countBuffer()), (std::vector<std::int64_t>{2}));
  EXPECT_EQ(valuesOf<float>(surface().locationBuffer()),
            (std::vector<float>{128.5f, 128.0f, 5.0f, 149.5f, 167.25f, 5.0f}));
  EXPECT_EQ(valuesOf<float>(surface().forceBuffer()), (std::vector<float>{0.3f, 0.45f}));
  EXPECT_EQ(valuesOf<float>(surface().altitudeBuffer()), (std::vector<float>{0.7f, 0.65f}));
  EXPECT_EQ(valuesOf<float>(surface().azimuthsBuffer()), (std::vector<float>{1.1f, -2.5f}));
  EXPECT_EQ(valuesOf<std::uint8_t>(surface().showGroundBuffer()), (std::vector<std::uint8_t>{0}));
  EXPECT_EQ(tool->touchCount(), 2);
  // One line per sample: -cos and -sin of its azimuth.
  ASSERT_EQ(console.lines().size(), 2u);
  const std::string& line = console.lines()[1];
  const auto blank = line.find(' ');
  EXPECT_NEAR(std::stod(line.substr(0, blank)), -std::cos(-2.5), 1e-6);
  EXPECT_NEAR(std::stod(line.substr(blank + 1)), -std::sin(-2.5), 1e-6);
}

// A surface whose altitude curve and pass lists come from the subclass, as the tool families'.
class FlatteningSurface : public ToolSurface {
 public:
  FlatteningSurface(AbstractDrawingTool& tool, float altitude) : ToolSurface(tool), altitude_(altitude) {
    initEncoders().push_back(std::make_shared<CompositeEncoderUnit>());
  }
  void adjustInput() override {
    ++adjusted;
    for (auto& a : touchInputData().altitudes()) a = altitude_;
  }
  int adjusted = 0;

 private:
  float altitude_;
};

TEST_F(StrokeWindow, ConstructionTakesTheFirstBatchThroughTheSubclass) {
  useTool(ToolType::towel);
  const auto surface = ToolSurface::make<FlatteningSurface>(*tool, {at(300.25, 200.5, 0.4f, 1.3f)}, 0.125f);
  EXPECT_EQ(surface->adjusted, 1);
  EXPECT_EQ(valuesOf<float>(surface->altitudeBuffer()), (std::vector<float>{0.125f}));
  EXPECT_EQ(surface->initEncoders().size(), 1u);
  EXPECT_EQ(surface->useSameRegion(), false);
  EXPECT_FALSE(surface->origin());
  EXPECT_TRUE(surface->encoders().empty() && surface->endEncoders().empty());
}

TEST_F(StrokeWindow, FluidScalesAreFixedAtTheirFirstRead) {
  useTool(ToolType::roller);
  auto& s = surface();
  EXPECT_EQ(valuesOf<float>(s.dtBuffer()), (std::vector<float>{1.0f}));
  EXPECT_FLOAT_EQ(s.divergenceScale(), 2.0f);
  EXPECT_FLOAT_EQ(s.jacobPressureScale(), 0.25f);
  EXPECT_FLOAT_EQ(s.gradientScale(), 20.0f);
  const auto before = s.dtBuffer();
  s.setDt(0.4f);
  EXPECT_NE(s.dtBuffer(), before);
  EXPECT_EQ(valuesOf<float>(s.dtBuffer()), (std::vector<float>{0.4f}));
  EXPECT_FLOAT_EQ(s.jacobPressureScale(), 0.25f);  // read before the change
  EXPECT_FLOAT_EQ(s.viscosityScale(), 2.5f);       // first read after it: 4 x 0.25 / 0.4
}

// An appended sample is only queued: the last sample painted stays the next path's start.
TEST_F(StrokeWindow, FixedSpacingAppendsAgainstTheCarriedListOnly) {
  useTool(ToolType::roller);
  const auto painted = at(900.5, 700.5);
  surface().setLastTouchInput(painted);
  surface().appendTouchInput(at(100.25, 100.5));
  EXPECT_EQ(surface().touchInputs().size(), 1u);  // no midpoints towards lastTouchInput
  surface().appendTouchInput(at(110.5, 100.5));
  EXPECT_EQ(surface().touchInputs().size(), 5u);  // 10.25 apart at 5.0: three midpoints
  EXPECT_EQ(surface().lastTouchInput(), painted);
}

// A setting change (the stroke's closing redraw makes one) keeps a loaded window where it is, so the
// closing frame's samples land where they were drawn; without a window the offset goes back to 0.
TEST_F(StrokeWindow, StrokeEndForgetsTheWindowAndASettingChangeKeepsALoadedOne) {
  useTool(ToolType::roller);
  surface().reset({at(300.25, 200.5)});
  surface().setOrigin(gpu::Origin{172, 72, 0});
  surface().setOffset({172, 72, 0});
  canvas->setShowSurface(true);
  surface().updateChange();
  EXPECT_EQ(surface().offset(), (gpu::uint3{172, 72, 0}));
  EXPECT_EQ(surface().origin(), (gpu::Origin{172, 72, 0}));
  EXPECT_EQ(valuesOf<std::uint8_t>(surface().showGroundBuffer()), (std::vector<std::uint8_t>{1}));
  surface().touchEnd();
  EXPECT_FALSE(surface().origin());
  EXPECT_FALSE(surface().lastTouchInput());
  EXPECT_EQ(valuesOf<std::uint32_t>(surface().offsetBuffer()), (std::vector<std::uint32_t>{0, 0, 0, 0}));
  surface().setOffset({172, 72, 0});
  surface().updateChange();
  EXPECT_EQ(surface().offset(), (gpu::uint3{0, 0, 0}));
}

// --- Stroke-shape queries ---------------------------------------------------------------------------

struct Stroke {
  std::vector<graphics::Point> points;  // window-local
  std::vector<float> forces{};
  float altitude0 = 0.5f, azimuth0 = 1.0f;
};

void upload(ToolSurface& surface, const Stroke& stroke) {
  auto& data = surface.touchInputData();
  data.reset();
  for (std::size_t i = 0; i < stroke.points.size(); ++i) {
    const float force = stroke.forces.empty() ? 0.5f : stroke.forces[i];
    data.append(static_cast<float>(stroke.points[i].x), static_cast<float>(stroke.points[i].y), 5.0f, force,
                i == 0 ? stroke.altitude0 : 0.5f, i == 0 ? stroke.azimuth0 : 0.0f);
  }
}

TEST_F(StrokeWindow, ForwardDrawingFollowsTheRules) {
  useTool(ToolType::knife2);
  const float halfPi = static_cast<float>(std::numbers::pi / 2);
  struct Case {
    const char* what;
    Stroke stroke;
    float rotation;
    bool forward;
  };
  const Case cases[] = {
      {"one sample", {{{10, 10}}}, 1.0f, true},
      {"rotation under pi/8", {{{10, 10}, {30, 10}}}, -0.39f, true},
      {"rotation of pi/8 goes on", {{{10, 10}, {30.5, 10.5}}, {}, 0.5f, 1.0f}, -0.3927f, false},
      {"upright first sample", {{{10, 10}, {30, 10}}, {}, halfPi, 1.0f}, -1.0f, true},
      {"straight down", {{{10, 10}, {20, 15}, {10, 40}}, {}, 0.5f, 1.0f}, 1.0f, true},
      // Rightwards: a = 2 pi, d = 2 pi - 1 >= pi.
      {"right, positive", {{{10, 10}, {30, 10}}}, 1.0f, true},
      {"right, negative", {{{10, 10}, {30, 10}}}, -1.0f, false},
      // Down-right: a = pi/4; azimuth -2 becomes 2 pi - 2; d = pi/4 + 2 = 2.785 < pi.
      {"diagonal, negative azimuth", {{{10, 10}, {30, 30}}, {}, 0.5f, -2.0f}, 1.0f, false},
      {"diagonal, negative azimuth, negative rotation", {{{10, 10}, {30, 30}}, {}, 0.5f, -2.0f}, -1.0f, true},
      // First and last coincide: atan2(0, 0) = 0, so a = 2 pi and the rule goes on.
      {"closed loop", {{{10, 10}, {20, 20}, {10, 10}}, {}, 0.5f, 0.5f}, -1.0f, false},
  };
  for (const auto& c : cases) {
    upload(surface(), c.stroke);
    EXPECT_EQ(surface().isForwardDrawing(c.rotation), c.forward) << c.what;
  }
}

TEST_F(StrokeWindow, APickUpGestureIsAStillFirmPress) {
  useTool(ToolType::knife2);
  struct Case {
    const char* what;
    Stroke stroke;
    bool pickUp;
  };
  const Case cases[] = {
      {"one sample", {{{10, 10}}, {1.0f}}, false},
      {"still, mean force 0.95", {{{10, 10}, {10, 10}}, {0.9f, 1.0f}}, true},
      {"still, mean force exactly 0.9", {{{10, 10}, {10, 10}}, {0.9f, 0.9f}}, false},
      {"1.75 per sample", {{{10, 10}, {13.5, 10}}, {1.0f, 1.0f}}, true},
      {"1.8 per sample", {{{10, 10}, {13.6, 10}}, {1.0f, 1.0f}}, false},
  };
  for (const auto& c : cases) {
    upload(surface(), c.stroke);
    EXPECT_EQ(surface().isPickUpGesture(), c.pickUp) << c.what;
  }
}

// A 40 x 90 head leaves a band of 73.6 < x < 256 - 40 and 73.6 < y < 256 - 90 in a loaded window.
TEST_F(StrokeWindow, TheReuseBandLeavesRoomForTheHeadOnEachAxis) {
  useTool(ToolType::tube);
  auto* viewer = dynamic_cast<DefaultToolViewer*>(tool->toolViewer().get());
  ASSERT_NE(viewer, nullptr);
  viewer->setSize({40, 90, 0});
  const struct {
    double x, y;
    bool fits;
  } cases[] = {{200.5, 100.25, true}, {216.0, 100.25, false}, {100.25, 160.75, true}, {100.25, 170.5, false}};
  for (const auto& c : cases) {
    surface().setOffset({0, 0, 0});
    surface().setOrigin(gpu::Origin{0, 0, 0});
    surface().reset({at(c.x, c.y)});
    EXPECT_EQ(surface().useSameRegion(), c.fits) << c.x << ", " << c.y;
  }
}

// The next step is spaced from the last sample a step took, not its first: 403.5 to 412.5 is 9,
// one midpoint at 5-point spacing (from 400.25 it would take three).
TEST_F(StrokeWindow, TheNextStepIsSpacedFromTheLastSampleTaken) {
  useTool(ToolType::filbertBrush);
  surface().reset({at(400.25, 300.5), at(403.5, 300.5)});
  surface().reset({at(412.5, 300.5)});
  const auto points = uploadedInCanvas();
  ASSERT_EQ(points.size(), 2u);
  EXPECT_NEAR(points[0].x, 408.0, 1e-4);
  EXPECT_NEAR(points[1].x, 412.5, 1e-4);
  EXPECT_EQ(tool->touchCount(), 4);
}

// A window written back returns each of its three working textures to the layer at its corner.
TEST_F(StrokeWindow, AWriteBackReturnsGridWetAndDryAtTheCorner) {
  useTool(ToolType::tube);
  auto& layer = *canvas->currentContent();
  auto& working = AppManager().surfaceTextures();
  surface().setOffset({172, 192, 0});
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  surface().encodeLoads(layer, *buffer);
  gpu::commandTrace().start();
  surface().encodeSave(*canvas, *buffer);
  const auto blits = gpu::commandTrace().blits();
  gpu::commandTrace().stop();
  const std::pair<std::shared_ptr<gpu::Texture>, std::shared_ptr<gpu::Texture>> expected[] = {
      {working.gridTexture0(), layer.gridTexture()},
      {working.wetTexture0(), layer.wetTexture()},
      {working.dryTexture0(), layer.dryTexture()}};
  ASSERT_EQ(blits.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(blits[i].sourceTexture, expected[i].first) << i;
    EXPECT_EQ(blits[i].destinationTexture, expected[i].second) << i;
    EXPECT_EQ(blits[i].destinationOrigin, (gpu::Origin{172, 192, 0})) << i;
  }
}

}  // namespace
}  // namespace surfacetest
