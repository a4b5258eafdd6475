// The dryer and the wetter, one design in two copies: every case runs for both twins. Enabling and
// disabling on the command trace, a stroke step's bindings, and the fan of their viewer.

#include <gtest/gtest.h>

#include <numbers>
#include <set>

#include "ConsoleCapture.h"
#include "StrokeCanvas.h"
#include "TempResourceRoot.h"
#include "TestCanvas.h"
#include "components/BrushView.h"
#include "gpu/Gpu.h"
#include "scene/Action.h"
#include "scene/Node.h"
#include "tools/DebugSwitches.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/dryer/DryerTool.h"
#include "tools/dryer/FanDryerToolViewer.h"
#include "tools/wetter/WetterTool.h"
#include "ui/GPUView.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;
using Bound = std::map<std::int64_t, std::shared_ptr<gpu::Texture>>;

struct Twin {
  const char* name;
  std::shared_ptr<FanDryerTool> (*tool)();
  const char* initKernel;
  const char* paintKernel;
};
const Twin kTwins[] = {
    {"Dryer", [] { return std::shared_ptr<FanDryerTool>(AppManager().dryer()); }, "DAEToolModel_dryer_init",
     "DAEToolModel_dryer_paint"},
    {"Wetter", [] { return std::shared_ptr<FanDryerTool>(AppManager().wetter()); }, "DAEToolModel_wetter_init",
     "DAEToolModel_wetter_paint"},
};
std::string twinName(const ::testing::TestParamInfo<Twin>& info) { return info.param.name; }

// Where in the trace the first blit from `from` to `to`, or the first dispatch of `kernel`, is; the
// trace's length when there is none.
std::size_t traced(const std::shared_ptr<gpu::Texture>& from, const std::shared_ptr<gpu::Texture>& to,
                   const std::string& kernel = "") {
  const auto& events = gpu::commandTrace().events();
  for (std::size_t i = 0; i < events.size(); ++i) {
    const auto* b = std::get_if<gpu::BlitRecord>(&events[i]);
    const auto* d = std::get_if<gpu::DispatchRecord>(&events[i]);
    if ((b && b->sourceTexture == from && b->destinationTexture == to) || (d && d->kernelName == kernel)) return i;
  }
  return events.size();
}
gpu::DispatchRecord lastDispatch() { return gpu::commandTrace().dispatches().back(); }

// A main canvas of three layers (300 x 200) with the middle one current.
class FanDryerToolTest : public ::testing::TestWithParam<Twin> {
 protected:
  FanDryerToolTest() {
    canvas->setLayerIndex(1);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
  }
  std::shared_ptr<FanDryerTool> tool() const { return GetParam().tool(); }
  FanDryerToolViewer& viewer() const { return static_cast<FanDryerToolViewer&>(*tool()->toolViewer()); }
  scene::Node& toolNode() const { return *canvas->brushView()->toolNode(); }
  ArtworkTextures& current() const { return canvas->layer(1); }
  std::vector<bool> hidden() const {
    std::vector<bool> out;
    for (const auto& layer : canvas->layers()) out.push_back(layer->metalView()->isHidden());
    return out;
  }

  testsupport::ConsoleCapture console;
  std::shared_ptr<testsupport::TestCanvas> canvas = testsupport::makeCanvas(300, 200, 1.0, 3);
};

// The picture goes to the colour copy, then the init pass renders it from the layer's paint and the
// copy, over the whole picture; the layers draw again, and the timing line follows while the debug
// mode is not None. Only the views below the current layer are hidden. A second enable does
// nothing unless forced.
TEST_P(FanDryerToolTest, EnableHidesTheLayersBelowCopiesThePictureAndRendersItAgain) {
  gpu::commandTrace().start();
  AppManager().setCurrentTool(tool());
  const auto copy = canvas->colorTexture2D();
  EXPECT_LT(traced(current().paintingTexture(), copy), traced(nullptr, nullptr, GetParam().initKernel));
  const auto init = lastDispatch();
  EXPECT_EQ(init.kernelName, GetParam().initKernel);
  EXPECT_EQ(init.textures, (Bound{{TEXTURE_GRID_READ, current().gridTexture()},
                                  {TEXTURE_WET_READ, current().wetTexture()},
                                  {TEXTURE_DRY_READ, current().dryTexture()},
                                  {TEXTURE_COLOR_IMAGE_READ, copy},
                                  {TEXTURE_COLOR_IMAGE_WRITE, current().paintingTexture()}}));
  EXPECT_TRUE(init.buffers.empty());
  EXPECT_EQ(init.threadgroupsPerGrid, (gpu::Size{75, 50, 1}));
  EXPECT_EQ(gpu::commandTrace().commits().size(), 1u);
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Refresh});
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);
  EXPECT_EQ(hidden(), (std::vector<bool>{true, false, false}));

  gpu::commandTrace().start();
  canvas->layer(0).metalView()->setHidden(false);
  tool()->handleEnabled(false);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  EXPECT_EQ(hidden(), (std::vector<bool>{false, false, false}));

  // Forced, with the current layer first, then with no layer of the current index.
  DEBUG_DAE_KNIFE = KnifeDebugMode::None;
  canvas->setLayerIndex(0);
  tool()->handleEnabled(true);
  EXPECT_EQ(gpu::commandTrace().kernelNames(), std::vector<std::string>{GetParam().initKernel});
  EXPECT_EQ(hidden(), (std::vector<bool>{false, false, false}));
  canvas->setLayerIndex(7);
  tool()->handleEnabled(true);
  EXPECT_EQ(hidden(), (std::vector<bool>{true, true, true}));
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u) << "none at None";
}

// Disabling does nothing unless enabled. From one twin to the other in one tool change: the copy
// goes back, the layers are updated (the canvas hides the views in front of the current one) and
// rebuilt, then the other twin takes the copy again and hides the views below.
TEST_P(FanDryerToolTest, DisablePutsTheCopyBackBeforeTheOtherTwinTakesIt) {
  const Twin& other = GetParam().tool == kTwins[0].tool ? kTwins[1] : kTwins[0];
  gpu::commandTrace().start();
  tool()->setEnabled(false);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  EXPECT_TRUE(canvas->redraws.empty());

  AppManager().setCurrentTool(tool());
  canvas->redraws.clear();
  gpu::commandTrace().start();
  AppManager().setCurrentTool(other.tool());
  EXPECT_FALSE(tool()->handledEnabled());
  const auto copy = canvas->colorTexture2D(), picture = current().paintingTexture();
  const std::size_t back = traced(copy, picture), aside = traced(picture, copy);
  EXPECT_LT(back, aside);
  EXPECT_LT(aside, traced(nullptr, nullptr, other.initKernel));
  EXPECT_EQ(gpu::commandTrace().kernelNames(), std::vector<std::string>{other.initKernel});
  EXPECT_EQ(canvas->redraws, (std::vector<DrawingMode>{DrawingMode::Recreated, DrawingMode::Refresh}));
  EXPECT_EQ(hidden(), (std::vector<bool>{true, false, true}));
}

// The fan scene: its node "Fan", small on the main canvas and larger on a palette, the tool node at
// the display scale, turned on the first attach and given the last pose back on the next; each
// followed sample spins the fan by -π/4 per unit of force over half a second.
TEST_P(FanDryerToolTest, TheViewerShowsTheFanAndSpinsItWithEachSample) {
  toolNode().setEulerY(0.25f);
  AppManager().setCurrentTool(tool());
  const auto& content = viewer().toolContentNode();
  EXPECT_EQ(canvas->brushView()->content(), content);
  ASSERT_TRUE(viewer().fan());
  EXPECT_EQ(viewer().fan()->name(), "Fan");
  EXPECT_FLOAT_EQ(content->scale().x, 0.05f);
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(kPi / 4, 0.25f, kPi / 4));

  const float fanTurn = viewer().fan()->eulerAngles().z;
  for (const float force : {1.0f, 0.0f, 2.5f}) viewer().updateOnTouch(toolNode(), TouchInput({50, 40}, force, 1.2f, 0.3f));
  const auto& spins = viewer().fan()->actions();
  ASSERT_EQ(spins.count, 3u);
  EXPECT_EQ(std::vector<double>({spins.last->x(), spins.last->y(), spins.last->duration()}),
            std::vector<double>({0, 0, 0.5}));
  EXPECT_NEAR(spins.last->z(), -2.5 * kPi / 4.0, 1e-6);
  EXPECT_NEAR(viewer().fan()->eulerAngles().z - fanTurn, -3.5 * kPi / 4.0, 1e-5);
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0, kPi / 2 - 1.2f, -0.3f));

  const auto palette = testsupport::makeCanvas(400, 350, 1.0, 1, MainPaintId + 1, false);
  AppManager().setCurrentPaint(palette);
  const auto children = content->childNodes();
  viewer().attachView();
  EXPECT_FLOAT_EQ(content->scale().x, 0.1f);
  EXPECT_EQ(content->childNodes(), children) << "the scene is read once";
  EXPECT_EQ(palette->brushView()->toolNode()->eulerAngles(), scene::Vector3(0, kPi / 2 - 1.2f, -0.3f));
}

TEST_P(FanDryerToolTest, AMissingFanSceneIsReportedAndPosesNothing) {
  testsupport::TempResourceRoot empty;
  toolNode().setEulerAngles({0.1f, 0.2f, 0.3f});
  toolNode().setScale({2, 2, 2});
  AppManager().setCurrentTool(tool());
  EXPECT_EQ(console.linesStartingWith("FanDryer isn't found").size(), 1u);
  EXPECT_FALSE(viewer().fan());
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(toolNode().scale(), scene::Vector3(2, 2, 2));
}

INSTANTIATE_TEST_SUITE_P(Twins, FanDryerToolTest, ::testing::ValuesIn(kTwins), twinName);

// A stroke on a started canvas: each step runs the paint pass alone, on the window's offset,
// samples (the path going on from the step before) and scale, with the working textures and the
// layer's picture in place over the whole picture; the stroke's end writes the window back into the
// layer after the last step.
class FanDryerToolStep : public ::testing::TestWithParam<Twin> {};

TEST_P(FanDryerToolStep, AStepRunsThePaintPassInPlaceOverThePicture) {
  testsupport::StrokeCanvas stroke;
  stroke.use(GetParam().tool());
  auto& working = AppManager().surfaceTextures();
  gpu::commandTrace().start();
  stroke.drag({100, 80}, {160, 90}, 9);
  gpu::commandTrace().stop();

  const auto names = gpu::commandTrace().kernelNames();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), std::set<std::string>{GetParam().paintKernel});
  const auto step = lastDispatch();
  const auto picture = stroke.layer().paintingTexture();
  EXPECT_EQ(step.textures, (Bound{{TEXTURE_GRID_READ, working.gridTexture0()},
                                  {TEXTURE_GRID_WRITE, working.gridTexture0()},
                                  {TEXTURE_WET_READ, working.wetTexture0()},
                                  {TEXTURE_WET_WRITE, working.wetTexture0()},
                                  {TEXTURE_DRY_READ, working.dryTexture0()},
                                  {TEXTURE_DRY_WRITE, working.dryTexture0()},
                                  {TEXTURE_COLOR_IMAGE_READ, picture},
                                  {TEXTURE_COLOR_IMAGE_WRITE, picture}}));
  std::set<std::int64_t> buffers;
  for (const auto& [slot, bound] : step.buffers) buffers.insert(slot);
  EXPECT_EQ(buffers, (std::set<std::int64_t>{BUFFER_OFFSET, BUFFER_SCALE, BUFFER_POSITION, BUFFER_FORCE,
                                             BUFFER_POSITION_NUMBER, BUFFER_ALTITUDE, BUFFER_AZIMUTH, BUFFER_VALUE}))
      << "a later step goes on from where the step before ended";
  EXPECT_EQ(step.buffers.at(BUFFER_SCALE).bytes, (std::vector<std::uint8_t>{0, 0, 0x80, 0x3f})) << "1.0f";
  EXPECT_EQ(step.threadgroupsPerGrid, (gpu::Size{75, 50, 1}));

  const auto& events = gpu::commandTrace().events();
  std::size_t lastStep = 0;
  for (std::size_t i = 0; i < events.size(); ++i)
    if (std::holds_alternative<gpu::DispatchRecord>(events[i])) lastStep = i;
  EXPECT_GT(traced(working.gridTexture0(), stroke.layer().gridTexture()), lastStep);
  EXPECT_LT(traced(working.gridTexture0(), stroke.layer().gridTexture()), events.size());
}

INSTANTIATE_TEST_SUITE_P(Twins, FanDryerToolStep, ::testing::ValuesIn(kTwins), twinName);

}  // namespace
}  // namespace tessivarium
