#include "tools/ToolSurface.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "Application.h"
#include "FatalStop.h"
#include "RecordedErrors.h"
#include "ToolSurfaceFixture.h"
#include "commands/DrawingArtworkDrawingOperation.h"
#include "gpu/Gpu.h"
#include "imaging/Context.h"
#include "imaging/Image.h"
#include "tools/AbstractShaderUnit.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/ToolModel.h"
#include "utils/KernelInterface.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolEncoder.h"

namespace surfacetest {
namespace {

class RecordingPass : public AbstractToolEncoder {
 public:
  RecordingPass(std::vector<std::string>& journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  void encode(DrawingPaint&, gpu::CommandBuffer&) override { journal_.push_back(name_); }

 private:
  std::vector<std::string>& journal_;
  std::string name_;
};

// Window copies of the trace: a load reads the layer's grid, a write-back writes it.
struct WindowCopy {
  std::string what;
  gpu::Origin at;
  gpu::Size size;
  friend bool operator==(const WindowCopy&, const WindowCopy&) = default;
};
std::ostream& operator<<(std::ostream& out, const WindowCopy& c) {
  return out << c.what << " (" << c.at.x << ", " << c.at.y << ") " << c.size.width << " x " << c.size.height;
}

class StrokeEncodeCycle : public ToolSurfaceTest {
 protected:
  StrokeEncodeCycle() { start(); }

  // A started canvas with this test's tool current, an undo step under way.
  void start(std::int64_t width = 1024, std::int64_t height = 768, bool supportCommand = true) {
    useCanvas(width, height);
    canvas->setSupportCommand(supportCommand);
    canvas->setShadingImage(imaging::Image::fromTexture(AppManager().makeTexture(64, 64)));
    useTool(ToolType::tube);
    AppManager().setCurrentTool(tool);
    tool->setCommandOperations(std::make_shared<DrawingArtworkDrawingOperation>(canvas, canvas->currentLayer()));
    surface().initEncoders().push_back(std::make_shared<RecordingPass>(journal, "init"));
    surface().encoders().push_back(std::make_shared<RecordingPass>(journal, "step"));
    gpu::commandTrace().start();
  }

  // One frame as the tools run it: steps until every sample of the batch is drawn.
  void frame(const TouchInputs& batch) {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    auto& s = surface();
    s.reset(batch);
    while (s.touchInputData().count() > 0) {
      s.encodeStart(*canvas, *buffer);
      s.encodeLoop(*canvas, *buffer);
      if (s.touchInputs().empty()) break;
      s.reset(s.touchInputs());
    }
    buffer->commit();
  }
  // The stroke end's write-back, on its own command buffer.
  void strokeEnd() {
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    if (surface().origin()) surface().encodeSave(*canvas, *buffer);
    buffer->commit();
    surface().touchEnd();
  }

  ArtworkTextures& layer() { return *canvas->currentContent(); }
  std::vector<WindowCopy> windowCopies() {
    std::vector<WindowCopy> copies;
    for (const auto& blit : gpu::commandTrace().blits()) {
      if (blit.sourceTexture == layer().gridTexture()) copies.push_back({"load", blit.sourceOrigin, blit.size});
      if (blit.destinationTexture == layer().gridTexture()) copies.push_back({"save", blit.destinationOrigin, blit.size});
    }
    return copies;
  }
  std::vector<graphics::Rect> rects() { return tool->commandOperations()->rects(); }

  std::vector<std::string> journal;
};

constexpr gpu::Size kWindow{256, 256, 1};

TEST_F(StrokeEncodeCycle, AStrokeInsideOneWindowLoadsItOnceAndWritesItBackOnce) {
  frame({at(300.25, 320.5), at(310.5, 325.75)});
  frame({at(320.75, 330.5)});
  strokeEnd();
  EXPECT_EQ(windowCopies(), (std::vector<WindowCopy>{{"load", {172, 192, 0}, kWindow}, {"save", {172, 192, 0}, kWindow}}));
  EXPECT_EQ(rects(), (std::vector<graphics::Rect>{{172, 192, 256, 256}}));
  // Both steps ran both lists, in order.
  EXPECT_EQ(journal, (std::vector<std::string>{"init", "step", "init", "step"}));
  // The load: grid, wet and dry, each into the working texture numbered 0 at its corner.
  auto& working = AppManager().surfaceTextures();
  const auto blits = gpu::commandTrace().blits();
  ASSERT_GE(blits.size(), 3u);
  const std::array<std::pair<std::shared_ptr<gpu::Texture>, std::shared_ptr<gpu::Texture>>, 3> expected{
      {{layer().gridTexture(), working.gridTexture0()},
       {layer().wetTexture(), working.wetTexture0()},
       {layer().dryTexture(), working.dryTexture0()}}};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(blits[i].sourceTexture, expected[i].first) << i;
    EXPECT_EQ(blits[i].destinationTexture, expected[i].second) << i;
    EXPECT_EQ(blits[i].destinationOrigin, ORIGIN0) << i;
  }
}

TEST_F(StrokeEncodeCycle, AStrokeAcrossThreeWindowsWritesEachBackBeforeTheNextLoads) {
  frame({at(300.25, 320.5), at(700.5, 320.5), at(900.75, 600.25)});
  strokeEnd();
  EXPECT_EQ(windowCopies(), (std::vector<WindowCopy>{{"load", {172, 192, 0}, kWindow},
                                                      {"save", {172, 192, 0}, kWindow},
                                                      {"load", {572, 192, 0}, kWindow},
                                                      {"save", {572, 192, 0}, kWindow},
                                                      {"load", {768, 472, 0}, kWindow},
                                                      {"save", {768, 472, 0}, kWindow}}));
  EXPECT_EQ(rects(), (std::vector<graphics::Rect>{{172, 192, 256, 256}, {572, 192, 256, 256}, {768, 472, 256, 256}}));
}

TEST_F(StrokeEncodeCycle, TheWindowStaysInsideTheLayer) {
  struct Case {
    std::int64_t width, height;
    std::optional<gpu::uint3> corner;
    gpu::Origin origin;
    gpu::Size size;
  };
  const Case cases[] = {
      {1024, 768, gpu::uint3{900, 700, 0}, {768, 512, 0}, kWindow},  // past the right and bottom edges
      {200, 120, std::nullopt, {0, 0, 0}, {200, 120, 1}},           // a layer under 256 cells
      {1024, 200, gpu::uint3{300, 50, 0}, {300, 0, 0}, {256, 200, 1}},
  };
  for (const auto& c : cases) {
    start(c.width, c.height);
    tool->corner = c.corner;
    frame({at(100.25, 60.5)});
    // The samples are placed in the window where it really lies.
    EXPECT_FLOAT_EQ(surface().touchInputData().locations()[0], static_cast<float>(100.25 - c.origin.x));
    EXPECT_FLOAT_EQ(surface().touchInputData().locations()[1], static_cast<float>(60.5 - c.origin.y));
    strokeEnd();
    EXPECT_EQ(windowCopies(), (std::vector<WindowCopy>{{"load", c.origin, c.size}, {"save", c.origin, c.size}}))
        << c.width << " x " << c.height;
    EXPECT_EQ(rects(), (std::vector<graphics::Rect>{{static_cast<double>(c.origin.x), static_cast<double>(c.origin.y),
                                                     static_cast<double>(c.size.width),
                                                     static_cast<double>(c.size.height)}}));
  }
}

TEST_F(StrokeEncodeCycle, WithoutUndoTheWindowGoesBackUnrecorded) {
  for (bool supportCommand : {false, true}) {
    start(1024, 768, supportCommand);
    if (supportCommand) tool->setCommandOperations(nullptr);
    frame({at(300.25, 320.5)});
    strokeEnd();
    EXPECT_EQ(windowCopies().size(), 2u);
    if (tool->commandOperations()) {
      EXPECT_TRUE(rects().empty());
    }
  }
}

TEST_F(StrokeEncodeCycle, AMissingRenderingTextureSkipsOnlyThePicture) {
  const auto errors = std::make_shared<testsupport::RecordedErrors>();
  Application().setDelegateHandler(errors);
  AppManager().surfaceTextures().setRenderingTexture(nullptr);
  gpu::testControls().failTexturesWhere([](const gpu::TextureDescriptor&) { return true; });
  canvas->ciContext()->startRecording();
  frame({at(300.25, 320.5)});
  // One report from the failed texture request, one from the refresh.
  EXPECT_EQ(errors->errors, (std::vector<ErrorMessage>{ErrorMessage::NoMoreHeap, ErrorMessage::NoMoreHeap}));
  EXPECT_EQ(journal, (std::vector<std::string>{"init", "step"}));
  EXPECT_TRUE(canvas->ciContext()->renders().empty());
}

TEST_F(StrokeEncodeCycle, NormallyTheWindowsPictureIsRecomposedAtItsOrigin) {
  canvas->ciContext()->startRecording();
  frame({at(300.25, 320.5)});
  const auto& renders = canvas->ciContext()->renders();
  ASSERT_EQ(renders.size(), 1u);
  EXPECT_EQ(renders[0].texture, layer().paintingTexture());
  EXPECT_TRUE(renders[0].onCommandBuffer);
}

TEST_F(StrokeEncodeCycle, TheHeightBranchesDrawTheHeightPictureInstead) {
  DEBUG_HEIGHT = true;
  canvas->ciContext()->startRecording();
  frame({at(300.25, 320.5)});
  EXPECT_TRUE(canvas->ciContext()->renders().empty());
  const auto dispatches = gpu::commandTrace().dispatches();
  ASSERT_FALSE(dispatches.empty());
  for (const auto& d : dispatches) EXPECT_EQ(d.textures.at(TEXTURE_HEIGHT_IMAGE_WRITE), layer().paintingTexture());

  // The whole layer's height picture, then the window's rendering on top at its origin; the
  // full-size texture of the step is given back.
  DEBUG_HEIGHT = false;
  TOTAL_HEIGHT = true;
  const std::int64_t heap = AppManager().heapSize();
  gpu::commandTrace().start();
  frame({at(310.25, 330.5)});
  EXPECT_EQ(AppManager().heapSize(), heap);
  const auto& renders = canvas->ciContext()->renders();
  ASSERT_EQ(renders.size(), 1u);
  EXPECT_EQ(renders[0].texture, layer().paintingTexture());
  EXPECT_EQ(renders[0].bounds, graphics::Rect(0, 0, 1024, 768));
  const auto blits = gpu::commandTrace().blits();
  ASSERT_FALSE(blits.empty());
  EXPECT_EQ(blits.back().sourceTexture, AppManager().surfaceTextures().renderingTexture());
  EXPECT_EQ(blits.back().destinationTexture, layer().paintingTexture());
  EXPECT_EQ(blits.back().destinationOrigin, (gpu::Origin{172, 192, 0}));
  EXPECT_EQ(blits.back().size, SIZE_2D);
}

// Something else that needs the working textures mid-stroke (a layer's picture rebuild) first
// writes the window back: the stroke's painted but unsaved region survives.
TEST_F(StrokeEncodeCycle, SavingTheWindowMidStrokeKeepsWhatTheStrokePainted) {
  frame({at(300.25, 320.5)});
  const std::array<std::uint8_t, 4> paint{200, 10, 7, 2};
  const auto& grid0 = AppManager().surfaceTextures().gridTexture0();
  grid0->writeRegion(gpu::Region::make2D(5, 6, 1, 1), 0, paint, 4);  // as the step's passes would

  surface().saveWindow();
  EXPECT_FALSE(surface().origin());
  EXPECT_EQ(rects(), (std::vector<graphics::Rect>{{172, 192, 256, 256}}));
  // The rebuild overwrites the working textures with other regions.
  std::vector<std::uint8_t> zeros(256 * 256 * 4, 0);
  grid0->writeRegion(gpu::Region::make2D(0, 0, 256, 256), 0, zeros, 256 * 4);

  frame({at(300.75, 320.25)});  // the same window again
  std::array<std::uint8_t, 4> texel{};
  AppManager().surfaceTextures().gridTexture0()->readRegion(gpu::Region::make2D(5, 6, 1, 1), 0, texel, 4);
  EXPECT_EQ(texel, paint);
  strokeEnd();
  layer().gridTexture()->readRegion(gpu::Region::make2D(177, 198, 1, 1), 0, texel, 4);
  EXPECT_EQ(texel, paint);

  // Without a window there is nothing to write back.
  const auto commits = gpu::commandTrace().commits().size();
  surface().saveWindow();
  EXPECT_EQ(gpu::commandTrace().commits().size(), commits);
}

// The layer's picture rebuild reuses the working textures region by region: the stroke's window
// goes back into the layer before the first region is loaded.
TEST_F(StrokeEncodeCycle, ALayerRebuildMidStrokeWritesTheWindowBackFirst) {
  frame({at(300.25, 320.5)});
  const std::array<std::uint8_t, 4> paint{91, 13, 7, 2};
  AppManager().surfaceTextures().gridTexture0()->writeRegion(gpu::Region::make2D(5, 6, 1, 1), 0, paint, 4);
  layer().recreatedDraw(false);
  std::array<std::uint8_t, 4> texel{};
  layer().gridTexture()->readRegion(gpu::Region::make2D(177, 198, 1, 1), 0, texel, 4);
  EXPECT_EQ(texel, paint);
}

// Callers keep to the order that avoids these; breaking it stops with a clear message.
TEST_F(StrokeEncodeCycle, OutOfOrderCallsStopFatally) {
  const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
  ToolSurface unstarted(*tool);  // the first construction step only: no batch taken yet
  EXPECT_FATAL(unstarted.encodeStart(*canvas, *buffer), "ToolSurface.encodeStart: no batch taken yet");
  EXPECT_FATAL(surface().encodeSave(*canvas, *buffer), "ToolSurface.encodeSave: no window is loaded");
  EXPECT_FATAL(surface().encodeLoop(*canvas, *buffer), "ToolSurface.encodeLoop: no window is loaded");
  frame({at(300.25, 320.5)});
  TOTAL_HEIGHT = true;
  canvas->setShadingImage(nullptr);
  EXPECT_FATAL(surface().encodeLoop(*canvas, *buffer), "ToolSurface.encodeLoop: the canvas has no shading image");
  AppManager().setCurrentPaint(nullptr);
  EXPECT_FATAL(surface().reset({}), "ToolSurface.doReset: no current canvas");
  EXPECT_FATAL(surface().updateChange(), "ToolSurface.updateChange: no current canvas");
  AppManager().setCurrentPaint(canvas);
  AppManager().setCanvas(nullptr);
  EXPECT_FATAL(surface().reset({}), "ToolSurface.doReset: no main canvas");
}

// --- Binders ---------------------------------------------------------------------------------------

constexpr const char* kBinderKernel = "test_surface_binders";

class BindingPass : public AbstractToolEncoderShader {
 public:
  BindingPass() : AbstractToolEncoderShader(kBinderKernel) {
    setThreadsPerThreadgroup(gpu::Size{1, 1, 1});
    setThreadgroupsPerGrid(gpu::Size{1, 1, 1});
  }
  void fillCommandBuffer(DrawingPaint& paint, gpu::ComputeCommandEncoder& encoder) override {
    ToolSurface& surface = *paint.drawingTool()->toolSurface();
    if (pathStart) {
      surface.encodePathStart(encoder);
      return;
    }
    surface.encodeTextures(paint, encoder);
    surface.encodeInput(encoder);
    surface.encodeDt(encoder);
    surface.encodeScale(encoder, 0.75f);
    const float values[] = {0.25f, 3.5f};
    surface.encodeValues(encoder, values);
    if (ownOffset) {
      surface.encodeOffset(encoder, *ownOffset);
    } else {
      surface.encodeOffset(encoder);
    }
  }
  std::optional<gpu::uint3> ownOffset;
  bool pathStart = false;  // binds the path start alone
};

template <class T>
std::vector<T> boundValues(const gpu::DispatchRecord& dispatch, std::int64_t slot) {
  const auto& bytes = dispatch.buffers.at(slot).bytes;
  std::vector<T> values(bytes.size() / sizeof(T));
  std::memcpy(values.data(), bytes.data(), values.size() * sizeof(T));
  return values;
}

TEST_F(StrokeEncodeCycle, BindersPutEachBufferAndWorkingTextureAtItsSlot) {
  gpu::registerKernel(kBinderKernel, [](const gpu::Dispatch&) {});
  canvas->setGroundTexture(AppManager().makeTexture(8, 8));
  surface().reset({at(300.25, 320.5, 0.35f, 0.6f, 1.2f)});
  BindingPass pass;
  for (bool own : {false, true}) {
    if (own) pass.ownOffset = gpu::uint3{9, 17, 0};
    gpu::commandTrace().start();
    const auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    pass.encode(*canvas, *buffer);
    const auto dispatches = gpu::commandTrace().dispatches();
    ASSERT_EQ(dispatches.size(), 1u);
    const auto& d = dispatches[0];
    auto& working = AppManager().surfaceTextures();
    // Numbered 0 at the read slots, 1 at the write slots, the ground; no layer texture.
    EXPECT_EQ(d.textures, (std::map<std::int64_t, std::shared_ptr<gpu::Texture>>{
                              {TEXTURE_GRID_READ, working.gridTexture0()},
                              {TEXTURE_GRID_WRITE, working.gridTexture1()},
                              {TEXTURE_GROUND, canvas->groundTexture()},
                              {TEXTURE_DRY_READ, working.dryTexture0()},
                              {TEXTURE_DRY_WRITE, working.dryTexture1()},
                              {TEXTURE_WET_READ, working.wetTexture0()},
                              {TEXTURE_WET_WRITE, working.wetTexture1()}}));
    const std::map<std::int64_t, std::shared_ptr<gpu::Buffer>> surfaceBuffers{
        {BUFFER_POSITION_NUMBER, surface().countBuffer()}, {BUFFER_POSITION, surface().locationBuffer()},
        {BUFFER_FORCE, surface().forceBuffer()},           {BUFFER_ALTITUDE, surface().altitudeBuffer()},
        {BUFFER_AZIMUTH, surface().azimuthsBuffer()},      {BUFFER_DT, surface().dtBuffer()}};
    for (const auto& [slot, bound] : surfaceBuffers) EXPECT_EQ(d.buffers.at(slot).buffer, bound) << slot;
    for (const auto& [slot, bound] : d.buffers) EXPECT_EQ(bound.offset, 0u) << slot;
    EXPECT_EQ(d.buffers.size(), 9u);
    EXPECT_EQ(boundValues<float>(d, BUFFER_SCALE), (std::vector<float>{0.75f}));
    EXPECT_EQ(boundValues<float>(d, BUFFER_VALUE), (std::vector<float>{0.25f, 3.5f}));
    EXPECT_EQ(boundValues<std::uint32_t>(d, BUFFER_OFFSET),
              own ? (std::vector<std::uint32_t>{9, 17, 0, 0}) : (std::vector<std::uint32_t>{172, 192, 0, 0}));
    EXPECT_EQ(d.buffers.at(BUFFER_OFFSET).buffer == surface().offsetBuffer(), !own);
  }
  EXPECT_EQ(surface().offset(), (gpu::uint3{172, 192, 0}));
  gpu::unregisterKernel(kBinderKernel);
}

// A step's path starts from the last sample painted, in the cells of the step's window: after the
// window moves as after a step in the same place, whatever was queued since; a new stroke has none.
TEST_F(StrokeEncodeCycle, APathStartsFromTheLastSamplePaintedAndAStrokeFromNone) {
  gpu::registerKernel(kBinderKernel, [](const gpu::Dispatch&) {});
  BindingPass pass;
  pass.pathStart = true;
  const auto boundStart = [&]() -> std::optional<std::vector<float>> {
    gpu::commandTrace().start();
    pass.encode(*canvas, *AppManager().commandQueue()->makeCommandBuffer());
    const auto dispatches = gpu::commandTrace().dispatches();
    if (dispatches.size() != 1 || !dispatches[0].buffers.count(BUFFER_VALUE)) return std::nullopt;
    return boundValues<float>(dispatches[0], BUFFER_VALUE);
  };
  const auto inWindow = [&](float x, float y, float force) {
    return std::vector<float>{x - static_cast<float>(surface().offset().x), y - static_cast<float>(surface().offset().y), force};
  };
  surface().reset({at(300.25, 320.5, 0.35f), at(310.5, 322.25, 0.5f)});
  EXPECT_EQ(boundStart(), std::nullopt) << "a stroke's first step";
  const gpu::uint3 first = surface().offset();
  surface().appendTouchInput(at(700.5, 600.25, 0.9f));
  surface().appendTouchInput(at(702.5, 601.25, 0.8f));
  surface().reset(surface().touchInputs());
  ASSERT_NE(surface().offset(), first) << "the window moved";
  EXPECT_EQ(boundStart(), inWindow(310.5f, 322.25f, 0.5f));
  surface().reset({at(704.5, 602.25, 0.7f)});
  EXPECT_EQ(boundStart(), inWindow(702.5f, 601.25f, 0.8f));
  surface().touchEnd();
  surface().reset({at(400.5, 300.25)});
  EXPECT_EQ(boundStart(), std::nullopt) << "the stroke ended";
  gpu::unregisterKernel(kBinderKernel);
}

TEST_F(StrokeEncodeCycle, GetModelIsTheDefaultViewersModel) {
  auto& viewer = dynamic_cast<DefaultToolViewer&>(*tool->toolViewer());
  EXPECT_FALSE(surface().getModel());
  auto model = std::make_shared<ToolModel>(viewer, 8, 8, 4);
  viewer.setToolModel(model);
  EXPECT_EQ(surface().getModel(), model);
  // Another kind of viewer gives none, whatever model it holds.
  auto other = std::make_shared<testsupport::RecordingToolViewer>(journal);
  other->setToolModel(model);
  tool->setToolViewer(other);
  EXPECT_FALSE(surface().getModel());
}

}  // namespace
}  // namespace surfacetest
