// One step of a thick-paint stroke as a frame runs it: the flat brush's encode of 36 samples over
// 105 view points through its tool-model surface (spacing and upload, then the chain: two head
// copies, the map reset, the paint pass, the overlay map, the blur twice; at the Height debug mode
// the head's height view) and the picture refresh of the 256 x 256 window, committed on one
// command buffer. The window is loaded once before; the head is 56 x 56 x 96 cells of wet paint.
// Beside it, the machine's limit for the same bytes (a texel of every bound texture for each
// kernel thread, each blit read and written): 8 threads copying them with memcpy.

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "Limits.h"
#include "TraceBytes.h"
#include "RecordedHead.h"
#include "TestCanvas.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "kernels/Kernels.h"
#include "tools/AbstractDAEDrawingTool.h"
#include "tools/ApplicationManager.h"
#include "tools/DAEColorFill.h"
#include "tools/DAEEncoders.h"
#include "tools/DAEPassInputs.h"
#include "tools/DAEToolModelPasses.h"
#include "tools/DAEToolSurface.h"
#include "tools/DebugSwitches.h"
#include "tools/DefaultToolViewer.h"
#include "tools/SurfaceWorkingTextures.h"
#include "tools/ToolModel.h"
#include "tools/ToolSurface.h"

namespace {

using namespace tessivarium;

constexpr std::size_t kSamples = 36;

// The head of the stroke: 56 x 56 x 96 cells, a flat brush's record centred in it.
DAEToolDescriptor measuredHeadRecord() {
  DAEToolDescriptor d;
  d.origin = {28, 28, 8};
  d.headCenter = {28, 28, 8};
  d.headRadius = 24;
  d.scale = 1;
  d.thickness = 1;
  d.toolType = static_cast<std::uint32_t>(ToolType::flatBrush);
  return d;
}

class BenchBrush : public AbstractDAEDrawingTool {
 public:
  BenchBrush() : AbstractDAEDrawingTool(ToolType::flatBrush) {}
  std::shared_ptr<ToolSurface> createToolSurface() override { return ToolSurface::make<DAEToolSurface>(*this); }
  std::shared_ptr<ToolViewer> createToolViewer() override { return std::make_shared<DefaultToolViewer>(*this); }
  std::shared_ptr<ToolController> createController() override { return nullptr; }
};

void fillWithPaint(gpu::Texture& texture, std::mt19937& random) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<std::uint8_t> bytes(texture.width() * texture.height() * 4);
  for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
  texture.writeRegion(gpu::Region::make2D(0, 0, texture.width(), texture.height()), 0, bytes, texture.width() * 4);
}

struct Stroke {
  explicit Stroke(KnifeDebugMode mode) {
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    DEBUG_DAE_KNIFE = mode;
    std::mt19937 random(11);
    canvas = testsupport::makeCanvas(2048, 1536, 1.0, 2);
    AppManager().setCanvas(canvas);
    AppManager().setCurrentPaint(canvas);
    AppManager().setCurrentTool(tool);
    auto shading = AppManager().makeTexture(128, 128);
    fillWithPaint(*shading, random);
    canvas->setShadingImage(imaging::Image::fromTexture(shading));
    auto& viewer = static_cast<DefaultToolViewer&>(*tool->toolViewer());
    viewer.setToolModel(std::make_shared<testsupport::RecordedHead>(viewer, 56, 56, 96, measuredHeadRecord()));
    for (std::size_t i = 0; i < kSamples; ++i) {
      samples.push_back(std::make_shared<TouchInput>(graphics::Point(600.0 + 3.0 * static_cast<double>(i), 640.0),
                                                     1.0f, 0.9f, 0.3f));
    }
    auto& working = AppManager().surfaceTextures();
    for (const auto& t : {working.gridTexture0(), working.wetTexture0(), working.dryTexture0()}) fillWithPaint(*t, random);
    // The head: initialised, then loaded with wet paint.
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    DAEEncoders().getInitializer()->encode(*canvas, *buffer);
    DAEColorFill(*tool, graphics::Color::fromRGBA(0.6, 0.3, 0.2, 0.8), 1.0f).encode(*canvas, *buffer);
    buffer->commit();
    // The first step loads the window; the measured ones reuse it.
    buffer = AppManager().commandQueue()->makeCommandBuffer();
    encodeFrame(*buffer);
    buffer->commit();
  }
  ~Stroke() {
    canvas->cleanResources();
    AppManager().setCurrentPaint(nullptr);
    AppManager().setCanvas(nullptr);
    foundation::setConsoleSink({});
  }
  // The frame's encode: the samples spaced, uploaded and run through the surface's passes.
  void encodeFrame(gpu::CommandBuffer& buffer) {
    tool->setTouchInputs(samples);
    tool->encode(*canvas, buffer);
  }
  // The bytes the frame's kernels can reach (a texel of every bound texture for each thread of the
  // grid) and its blits read and write.
  std::int64_t bytesTouched() {
    gpu::commandTrace().start();
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    encodeFrame(*buffer);
    const std::int64_t bytes = benchsupport::bytesInTrace(gpu::commandTrace());
    gpu::commandTrace().stop();
    gpu::commandTrace().clear();
    buffer->commit();
    return bytes;
  }

  std::shared_ptr<testsupport::TestCanvas> canvas;
  std::shared_ptr<BenchBrush> tool = std::make_shared<BenchBrush>();
  TouchInputs samples;
};

KnifeDebugMode modeOf(const benchmark::State& state) {
  return state.range(0) == 0 ? KnifeDebugMode::None : KnifeDebugMode::Height;
}

void BM_DAEPaintingStepAndRefresh(benchmark::State& state) {
  Stroke stroke(modeOf(state));
  const std::int64_t bytes = stroke.bytesTouched();
  for (auto _ : state) {
    auto buffer = AppManager().commandQueue()->makeCommandBuffer();
    stroke.encodeFrame(*buffer);
    buffer->commit();
  }
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  state.SetBytesProcessed(state.iterations() * bytes);
  resetDebugSwitches();
}
BENCHMARK(BM_DAEPaintingStepAndRefresh)->ArgName("Height")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same bytes copied by 8 threads, each with its own eighth.
void BM_Limit8ThreadMemcpyOfTheSameBytes(benchmark::State& state) {
  std::int64_t bytes = 0;
  {
    Stroke stroke(modeOf(state));
    bytes = stroke.bytesTouched();
  }
  resetDebugSwitches();
  benchsupport::memcpyEightThreads(state, static_cast<std::size_t>(bytes));
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_Limit8ThreadMemcpyOfTheSameBytes)->ArgName("Height")->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
