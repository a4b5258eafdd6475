// The dryer and the wetter, one design in two copies: every case runs for both twins. Enabling and
// disabling on the command trace, a stroke step's bindings, and the fan of their viewer.

#include <gtest/gtest.h>

#include <algorithm>
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
#include "tools/DAEEncoders.h"
#include "tools/DebugSwitches.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/dryer/DryerDAEEncoders.h"
#include "tools/dryer/DryerTool.h"
#include "tools/wetter/WetterDAEEncoders.h"
#include "tools/wetter/WetterTool.h"
#include "ui/GPUView.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

constexpr float kPi = std::numbers::pi_v<float>;

struct Twin {
  const char* name;
  ToolType type;
  std::shared_ptr<FanDryerTool> (*tool)();
  const char* initKernel;
  const char* paintKernel;
};

const Twin kTwins[] = {
    {"Dryer", ToolType::dryer, [] { return std::shared_ptr<FanDryerTool>(AppManager().dryer()); },
     "DAEToolModel_dryer_init", "DAEToolModel_dryer_paint"},
    {"Wetter", ToolType::wetter, [] { return std::shared_ptr<FanDryerTool>(AppManager().wetter()); },
     "DAEToolModel_wetter_init", "DAEToolModel_wetter_paint"},
};

// The position of the first event of the trace that `match` accepts, or the trace's length.
template <class Record, class Match>
std::size_t firstEvent(Match match) {
  const auto& events = gpu::commandTrace().events();
  for (std::size_t i = 0; i < events.size(); ++i)
    if (const auto* r = std::get_if<Record>(&events[i]); r && match(*r)) return i;
  return events.size();
}

std::size_t blitOf(const std::shared_ptr<gpu::Texture>& from, const std::shared_ptr<gpu::Texture>& to) {
  return firstEvent<gpu::BlitRecord>(
      [&](const gpu::BlitRecord& b) { return b.sourceTexture == from && b.destinationTexture == to; });
}
std::size_t dispatchOf(const std::string& kernel) {
  return firstEvent<gpu::DispatchRecord>([&](const gpu::DispatchRecord& d) { return d.kernelName == kernel; });
}
gpu::DispatchRecord dispatchNamed(const std::string& kernel) {
  for (const auto& d : gpu::commandTrace().dispatches())
    if (d.kernelName == kernel) return d;
  ADD_FAILURE() << "no dispatch of " << kernel;
  return {};
}

template <class Map>
std::set<std::int64_t> slotsOf(const Map& bound) {
  std::set<std::int64_t> slots;
  for (const auto& [slot, value] : bound) slots.insert(slot);
  return slots;
}

// A main canvas of three layers (300 x 200) with the middle one current.
class FanDryerTest : public ::testing::TestWithParam<Twin> {
 protected:
  FanDryerTest() {
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

TEST_P(FanDryerTest, IsATwinWithoutHeadOrPattern) {
  const auto t = tool();
  EXPECT_EQ(t->toolType(), GetParam().type);
  EXPECT_FALSE(t->canClean() || t->canReset() || t->canFillColor() || t->canSavePattern() || t->hasColorPattern());
  EXPECT_TRUE(t->enabled());
  const auto initializers = t->getInitializers();
  ASSERT_EQ(initializers.size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<AbstractShaderUnit>(initializers[0])->shaderName(), GetParam().initKernel);
  const auto& steps = t->toolSurface()->initEncoders();
  ASSERT_EQ(steps.size(), 1u);
  EXPECT_EQ(std::dynamic_pointer_cast<AbstractShaderUnit>(steps[0])->shaderName(), GetParam().paintKernel);
  EXPECT_TRUE(t->toolSurface()->encoders().empty() && t->toolSurface()->endEncoders().empty());
  EXPECT_EQ(viewer().fileName(), "FanDryer");
  EXPECT_FALSE(viewer().toolModel());
}

// Only the views below the current layer are hidden: none with the first current, all when no
// layer has the current index.
TEST_P(FanDryerTest, EnableHidesExactlyTheViewsBelowTheCurrentLayer) {
  const struct {
    std::int64_t current;
    std::vector<bool> hidden;
  } cases[] = {{0, {false, false, false}}, {1, {true, false, false}}, {2, {true, true, false}}, {7, {true, true, true}}};
  for (const auto& c : cases) {
    for (const auto& layer : canvas->layers()) layer->metalView()->setHidden(false);
    canvas->setLayerIndex(c.current);
    tool()->handleEnabled(true);
    EXPECT_EQ(hidden(), c.hidden) << "current " << c.current;
  }
}

// The picture goes to the colour copy, then the init pass renders it from the layer's paint and the
// copy; the layers draw again and the timing line follows. A second enable does nothing.
TEST_P(FanDryerTest, EnableCopiesThePictureThenRendersItWithTheInitPass) {
  gpu::commandTrace().start();
  AppManager().setCurrentTool(tool());
  const auto copy = canvas->colorTexture2D();
  const std::size_t blit = blitOf(current().paintingTexture(), copy);
  const std::size_t init = dispatchOf(GetParam().initKernel);
  EXPECT_LT(blit, init);
  ASSERT_LT(init, gpu::commandTrace().events().size());
  const auto d = dispatchNamed(GetParam().initKernel);
  EXPECT_EQ(d.textures, (std::map<std::int64_t, std::shared_ptr<gpu::Texture>>{
                            {TEXTURE_GRID_READ, current().gridTexture()},
                            {TEXTURE_WET_READ, current().wetTexture()},
                            {TEXTURE_DRY_READ, current().dryTexture()},
                            {TEXTURE_COLOR_IMAGE_READ, copy},
                            {TEXTURE_COLOR_IMAGE_WRITE, current().paintingTexture()}}));
  EXPECT_TRUE(d.buffers.empty());
  EXPECT_EQ(d.threadgroupsPerGrid, (gpu::Size{75, 50, 1}));
  EXPECT_EQ(d.threadsPerThreadgroup, (gpu::Size{4, 4, 1}));
  EXPECT_EQ(gpu::commandTrace().commits().size(), 1u) << "one command buffer";
  EXPECT_EQ(canvas->redraws.back(), DrawingMode::Refresh);
  for (const auto& layer : canvas->layers()) EXPECT_EQ(layer->drawingMode(), DrawingMode::Refresh);
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);
  EXPECT_TRUE(tool()->handledEnabled());

  gpu::commandTrace().start();
  canvas->redraws.clear();
  for (const auto& layer : canvas->layers()) layer->metalView()->setHidden(false);
  tool()->handleEnabled(false);
  EXPECT_TRUE(gpu::commandTrace().events().empty());
  EXPECT_TRUE(canvas->redraws.empty());
  EXPECT_EQ(hidden(), (std::vector<bool>{false, false, false}));
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u);

  DEBUG_DAE_KNIFE = KnifeDebugMode::None;
  tool()->handleEnabled(true);
  EXPECT_EQ(gpu::commandTrace().kernelNames(), std::vector<std::string>{GetParam().initKernel}) << "forced";
  EXPECT_EQ(console.linesStartingWith("Execution time: ").size(), 1u) << "no timing line at None";
}

TEST_P(FanDryerTest, DisablePutsThePictureBackAndRebuildsTheLayers) {
  gpu::commandTrace().start();
  tool()->setEnabled(false);
  EXPECT_TRUE(gpu::commandTrace().events().empty()) << "not enabled";
  EXPECT_TRUE(canvas->redraws.empty());

  AppManager().setCurrentTool(tool());
  gpu::commandTrace().start();
  canvas->redraws.clear();
  tool()->setEnabled(false);
  EXPECT_FALSE(tool()->handledEnabled());
  EXPECT_EQ(gpu::commandTrace().blits().size(), 1u);
  EXPECT_LT(blitOf(canvas->colorTexture2D(), current().paintingTexture()), gpu::commandTrace().events().size());
  EXPECT_TRUE(gpu::commandTrace().dispatches().empty());
  EXPECT_EQ(hidden(), (std::vector<bool>{false, false, true})) << "the canvas's own rule: hidden in front";
  EXPECT_EQ(canvas->redraws, std::vector<DrawingMode>{DrawingMode::Recreated});
}

// A tool change from one twin to the other: the outgoing copy goes back before the incoming one is
// taken, all on the one queue, and the layers end drawing their (new) picture.
TEST_P(FanDryerTest, SwitchingTwinsDisablesThenEnablesInQueueOrder) {
  const Twin& other = GetParam().type == ToolType::dryer ? kTwins[1] : kTwins[0];
  AppManager().setCurrentTool(tool());
  canvas->redraws.clear();
  gpu::commandTrace().start();
  AppManager().setCurrentTool(other.tool());
  const auto copy = canvas->colorTexture2D();
  const auto picture = current().paintingTexture();
  const std::size_t back = blitOf(copy, picture), aside = blitOf(picture, copy), init = dispatchOf(other.initKernel);
  EXPECT_LT(back, aside);
  EXPECT_LT(aside, init);
  EXPECT_LT(init, gpu::commandTrace().events().size());
  EXPECT_EQ(canvas->redraws, (std::vector<DrawingMode>{DrawingMode::Recreated, DrawingMode::Refresh}));
  EXPECT_FALSE(tool()->handledEnabled());
  EXPECT_TRUE(other.tool()->handledEnabled());
}

// The fan scene, loaded from the bundle: its node "Fan", the small content on the main canvas (larger
// on a palette), the tool node at the display scale, turned on the first attach and given its last
// pose back on the next.
TEST_P(FanDryerTest, AttachShowsTheFanSmallerOnTheMainCanvasThanOnAPalette) {
  toolNode().setEulerY(0.25f);
  AppManager().setCurrentTool(tool());
  const auto& content = viewer().toolContentNode();
  ASSERT_TRUE(content);
  EXPECT_EQ(canvas->brushView()->content(), content);
  ASSERT_TRUE(viewer().fan());
  EXPECT_EQ(viewer().fan()->name(), "Fan");
  EXPECT_FLOAT_EQ(content->scale().x, 0.05f);
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(kPi / 4, 0.25f, kPi / 4));

  const auto palette = testsupport::makeCanvas(400, 350, 1.0, 1, MainPaintId + 1, false);
  AppManager().setCurrentPaint(palette);
  viewer().updateOnTouch(toolNode(), TouchInput({10, 10}, 1, 1.0f, 0.5f));
  const auto fan = viewer().fan();
  const auto children = content->childNodes();
  viewer().attachView();
  EXPECT_FLOAT_EQ(content->scale().x, 0.1f);
  EXPECT_EQ(content->childNodes(), children) << "the scene is read once";
  EXPECT_EQ(viewer().fan(), fan);
  EXPECT_EQ(palette->brushView()->toolNode()->eulerAngles(), scene::Vector3(0, kPi / 2 - 1.0f, -0.5f));
}

// Each followed sample spins the fan once, by -π/4 per unit of force over half a second.
TEST_P(FanDryerTest, EachFollowedSampleSpinsTheFanByItsForce) {
  AppManager().setCurrentTool(tool());
  const auto& fan = *viewer().fan();
  for (const float force : {1.0f, 0.0f, 2.5f}) viewer().updateOnTouch(toolNode(), TouchInput({50, 40}, force, 1.2f, 0.3f));
  ASSERT_EQ(fan.actionsRun().size(), 3u);
  const double expected[] = {-kPi / 4.0, 0.0, -2.5 * kPi / 4.0};
  for (std::size_t i = 0; i < 3; ++i) {
    const auto& action = *fan.actionsRun()[i];
    EXPECT_EQ(action.kind(), scene::Action::Kind::rotateBy);
    EXPECT_EQ(action.x(), 0);
    EXPECT_EQ(action.y(), 0);
    EXPECT_NEAR(action.z(), expected[i], 1e-6);
    EXPECT_EQ(action.duration(), 0.5);
  }
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0, kPi / 2 - 1.2f, -0.3f));
  EXPECT_EQ(toolNode().scale(), scene::Vector3(0.7f, 0.7f, 0.7f));
}

TEST_P(FanDryerTest, AMissingFanSceneIsReportedAndPosesNothing) {
  testsupport::TempResourceRoot empty;
  toolNode().setEulerAngles({0.1f, 0.2f, 0.3f});
  toolNode().setScale({2, 2, 2});
  AppManager().setCurrentTool(tool());
  EXPECT_EQ(console.linesStartingWith("FanDryer isn't found").size(), 1u);
  EXPECT_FALSE(viewer().fan());
  EXPECT_EQ(canvas->brushView()->content(), viewer().toolContentNode()) << "shown empty";
  EXPECT_TRUE(viewer().toolContentNode()->childNodes().empty());
  EXPECT_EQ(toolNode().eulerAngles(), scene::Vector3(0.1f, 0.2f, 0.3f));
  EXPECT_EQ(toolNode().scale(), scene::Vector3(2, 2, 2));
  viewer().updateOnTouch(toolNode(), TouchInput({50, 40}, 1, 1, 0));  // no fan to spin
  viewer().attachView();
  EXPECT_EQ(console.linesStartingWith("FanDryer isn't found").size(), 2u) << "every attach tries again";
}

INSTANTIATE_TEST_SUITE_P(Twins, FanDryerTest, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<Twin>& info) { return std::string(info.param.name); });

// A stroke on a started canvas: each step binds the window's offset, samples and scale and the working
// textures and layer picture in place, over the whole picture; nothing else draws into the picture,
// and the stroke's end writes the window back into the layer.
class FanDryerStepTest : public ::testing::TestWithParam<Twin> {};

TEST_P(FanDryerStepTest, AStepRunsThePaintPassInPlaceOverThePicture) {
  testsupport::StrokeCanvas stroke;
  stroke.use(GetParam().tool());
  auto& working = AppManager().surfaceTextures();
  gpu::commandTrace().start();
  stroke.drag({100, 80}, {160, 90}, 9);
  gpu::commandTrace().stop();

  std::set<std::string> kernels;
  for (const auto& name : gpu::commandTrace().kernelNames()) kernels.insert(name);
  EXPECT_EQ(kernels, std::set<std::string>{GetParam().paintKernel}) << "the loop renders nothing";
  const auto d = dispatchNamed(GetParam().paintKernel);
  const auto picture = stroke.layer().paintingTexture();
  EXPECT_EQ(d.textures, (std::map<std::int64_t, std::shared_ptr<gpu::Texture>>{
                            {TEXTURE_GRID_READ, working.gridTexture0()},
                            {TEXTURE_GRID_WRITE, working.gridTexture0()},
                            {TEXTURE_WET_READ, working.wetTexture0()},
                            {TEXTURE_WET_WRITE, working.wetTexture0()},
                            {TEXTURE_DRY_READ, working.dryTexture0()},
                            {TEXTURE_DRY_WRITE, working.dryTexture0()},
                            {TEXTURE_COLOR_IMAGE_READ, picture},
                            {TEXTURE_COLOR_IMAGE_WRITE, picture}}));
  EXPECT_EQ(slotsOf(d.buffers), (std::set<std::int64_t>{BUFFER_OFFSET, BUFFER_SCALE, BUFFER_POSITION, BUFFER_FORCE,
                                                        BUFFER_POSITION_NUMBER, BUFFER_ALTITUDE, BUFFER_AZIMUTH}));
  float scale;
  std::memcpy(&scale, d.buffers.at(BUFFER_SCALE).bytes.data(), sizeof scale);
  EXPECT_EQ(scale, 1.0f);
  EXPECT_EQ(d.threadgroupsPerGrid, (gpu::Size{75, 50, 1}));

  // The stroke's end writes the window back into the layer after its last step.
  const auto& events = gpu::commandTrace().events();
  std::size_t lastStep = 0, lastSave = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (std::holds_alternative<gpu::DispatchRecord>(events[i])) lastStep = i;
    if (const auto* b = std::get_if<gpu::BlitRecord>(&events[i]);
        b && b->sourceTexture == working.gridTexture0() && b->destinationTexture == stroke.layer().gridTexture()) {
      lastSave = i;
    }
  }
  EXPECT_GT(lastSave, lastStep);
}

INSTANTIATE_TEST_SUITE_P(Twins, FanDryerStepTest, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<Twin>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tessivarium
