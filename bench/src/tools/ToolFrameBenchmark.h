#pragma once
// One stroke frame of any tool the application manager gives, for the tool-frame benchmarks.
//
// The scene: a started 2048 x 1536 canvas of two layers on the flat surface at scale 1, the tool made
// current and loaded (its viewer measures and lays its head), the head filled with a colour when the
// tool can take one. The frame: the tool's encode of 36 samples over 105 view points (their spacing
// and upload, the tool's passes, the picture refresh of the working window), committed on one
// command buffer, at the DEBUG_DAE_KNIFE of the benchmark's argument (0: None, 1: Height). A first
// frame loads the window, which the measured frames reuse; each measured frame goes on with the
// stroke from a sample 3 points before its first, as a painter's next frame would (not from the
// last frame's end, 105 points on, which the tool would join to its first sample with samples of
// its own, backwards); before each measured frame the head is
// filled again, untimed, so that every frame paints with a loaded head. A frame over wet paint has the
// working window covered again, untimed, before each frame with fully wet paint of the given
// thickness in upright bands 25 cells wide of four colours, so that every frame meets fresh paint.
//
// Beside it, the machine's limit: 8 threads copying with memcpy the bytes the frame reaches (a
// texel of every bound texture for each kernel thread, each blit read and written), read from the
// command trace. Each figure carries the bytes ("MB") and the one-minute load average ("load1").
//
// One registration per tool, in a file of bench/src/tools/:
//
//   TOOL_FRAME_BENCHMARK(FilbertBrush, tessivarium::AppManager().filbertBrush());
//   TOOL_FRAME_BENCHMARK_ON_WET_PAINT(FluffyMopOnWetPaint, tessivarium::AppManager().fluffyMop(), 26);
//
// registers ToolFrame/FilbertBrush and ToolFrameLimit/FilbertBrush at Height:0 and Height:1.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Limits.h"
#include "TestCanvas.h"
#include "TraceBytes.h"
#include "foundation/Console.h"
#include "gpu/Gpu.h"
#include "imaging/Image.h"
#include "kernels/Kernels.h"
#include "tools/ApplicationManager.h"
#include "tools/DebugSwitches.h"
#include "tools/DrawingTool.h"
#include "tools/ToolSurface.h"
#include "utils/KernelInterface.h"
#include "utils/TextureUtil.h"

namespace toolbench {

using ToolGetter = std::shared_ptr<tessivarium::AbstractDrawingTool> (*)();

// What a frame paints with and over: the tool, and the thickness of the wet paint in the window
// (0: a bare canvas).
struct FrameScene {
  ToolGetter tool;
  std::uint8_t wetPaint = 0;
};

class ToolFrame {
 public:
  static constexpr std::size_t kSamples = 36;

  ToolFrame(FrameScene scene, tessivarium::KnifeDebugMode mode) : wetPaint_(scene.wetPaint) {
    using namespace tessivarium;
    foundation::setConsoleSink([](std::string_view) {});
    kernels::registerAll();
    DEBUG_DAE_KNIFE = mode;
    canvas_ = testsupport::makeCanvas(2048, 1536, 1.0, 2);
    AppManager().setCanvas(canvas_);
    AppManager().setCurrentPaint(canvas_);
    tool_ = scene.tool();
    // The manager's tools outlive a benchmark: the surface is made anew, for this debug mode.
    tool_->setToolSurface(nullptr);
    AppManager().setCurrentTool(tool_);
    canvas_->setShadingImage(imaging::Image::fromTexture(shading()));
    tool_->loads();
    before_ = std::make_shared<TouchInput>(graphics::Point(597.0, 640.0), 1.0f, 0.9f, 0.3f);
    for (std::size_t i = 0; i < kSamples; ++i) {
      samples_.push_back(std::make_shared<TouchInput>(graphics::Point(600.0 + 3.0 * static_cast<double>(i), 640.0),
                                                      1.0f, 0.9f, 0.3f));
    }
    prepare();
    frame();
  }
  ~ToolFrame() {
    canvas_->cleanResources();
    tessivarium::AppManager().setCurrentPaint(nullptr);
    tessivarium::AppManager().setCanvas(nullptr);
    tessivarium::resetDebugSwitches();
    foundation::setConsoleSink({});
  }
  ToolFrame(const ToolFrame&) = delete;
  ToolFrame& operator=(const ToolFrame&) = delete;

  // The head loaded again, on a command buffer of its own, and the window's wet paint laid afresh.
  void prepare() {
    if (tool_->canFillColor()) tool_->fillColor(graphics::Color::fromRGBA(0.6, 0.3, 0.2, 1.0), 1.0f, 1.0f);
    if (wetPaint_ > 0) layWetBands();
  }
  // One frame: the samples encoded by the tool and committed.
  void frame() {
    const auto buffer = tessivarium::AppManager().commandQueue()->makeCommandBuffer();
    tool_->toolSurface()->setLastTouchInput(before_);
    tool_->setTouchInputs(samples_);
    tool_->encode(*canvas_, *buffer);
    buffer->commit();
  }
  // The bytes one frame reaches, from its command trace.
  std::int64_t bytesTouched() {
    prepare();
    gpu::commandTrace().start();
    frame();
    const std::int64_t bytes = benchsupport::bytesInTrace(gpu::commandTrace());
    gpu::commandTrace().stop();
    gpu::commandTrace().clear();
    return bytes;
  }

 private:
  // A shading image of random greys.
  static std::shared_ptr<gpu::Texture> shading() {
    auto texture = tessivarium::AppManager().makeTexture(128, 128);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<std::uint8_t> bytes(128 * 128 * 4);
    for (auto& b : bytes) b = static_cast<std::uint8_t>(byte(random));
    texture->writeRegion(gpu::Region::make2D(0, 0, 128, 128), 0, bytes, 128 * 4);
    return texture;
  }

  // Covers the working window's grid and wet textures with the bands of wet paint.
  void layWetBands() {
    using namespace tessivarium;
    auto& window = AppManager().surfaceTextures();
    const std::size_t width = window.wetTexture0()->width(), height = window.wetTexture0()->height();
    constexpr std::uint8_t colours[4][3] = {{200, 40, 40}, {240, 200, 40}, {40, 70, 200}, {40, 160, 70}};
    std::vector<std::uint8_t> grid(width * height * 4), wet(width * height * 4);
    for (std::size_t k = 0; k < width * height; ++k) {
      const auto& colour = colours[k % width / 25 % 4];
      std::copy(colour, colour + 3, wet.begin() + static_cast<std::ptrdiff_t>(4 * k));
      wet[4 * k + 3] = wetPaint_;
      grid[4 * k] = 252, grid[4 * k + 3] = TOOL_FLUID;
    }
    TextureUtil::loadRawData(window.gridTexture0(), grid, width, height, 1);
    TextureUtil::loadRawData(window.wetTexture0(), wet, width, height, 1);
  }

  std::uint8_t wetPaint_;
  std::shared_ptr<testsupport::TestCanvas> canvas_;
  std::shared_ptr<tessivarium::AbstractDrawingTool> tool_;
  tessivarium::TouchInputs samples_;
  std::shared_ptr<tessivarium::TouchInput> before_;  // where a frame's stroke comes on from
};

inline tessivarium::KnifeDebugMode debugModeOf(const benchmark::State& state) {
  return state.range(0) == 0 ? tessivarium::KnifeDebugMode::None : tessivarium::KnifeDebugMode::Height;
}

inline void countFigures(benchmark::State& state, std::int64_t bytes) {
  state.counters["MB"] = static_cast<double>(bytes) / 1e6;
  double load[1] = {0};
  if (getloadavg(load, 1) == 1) state.counters["load1"] = load[0];
}

inline void measureToolFrame(benchmark::State& state, FrameScene scene) {
  ToolFrame stroke(scene, debugModeOf(state));
  const std::int64_t bytes = stroke.bytesTouched();
  for (auto _ : state) {
    state.PauseTiming();
    stroke.prepare();
    state.ResumeTiming();
    stroke.frame();
  }
  state.SetBytesProcessed(state.iterations() * bytes);
  countFigures(state, bytes);
}

inline void measureToolFrameLimit(benchmark::State& state, FrameScene scene) {
  std::int64_t bytes = 0;
  {
    ToolFrame stroke(scene, debugModeOf(state));
    bytes = stroke.bytesTouched();
  }
  benchsupport::memcpyEightThreads(state, static_cast<std::size_t>(bytes));
  countFigures(state, bytes);
}

// Registers the frame and its limit for the scene, at both debug modes.
inline bool registerToolFrame(const std::string& name, FrameScene scene) {
  using Measure = void (*)(benchmark::State&, FrameScene);
  const std::pair<const char*, Measure> kinds[] = {{"ToolFrame/", measureToolFrame},
                                                   {"ToolFrameLimit/", measureToolFrameLimit}};
  for (const auto& [prefix, measure] : kinds) {
    benchmark::RegisterBenchmark((prefix + name).c_str(), measure, scene)
        ->ArgName("Height")
        ->Arg(0)
        ->Arg(1)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}

}  // namespace toolbench

#define TOOL_FRAME_BENCHMARK_ON_WET_PAINT(name, tool, thickness)                                                      \
  static const bool toolFrameRegistered##name = toolbench::registerToolFrame(                                         \
      #name, toolbench::FrameScene{[] { return std::shared_ptr<tessivarium::AbstractDrawingTool>(tool); }, thickness})
#define TOOL_FRAME_BENCHMARK(name, tool) TOOL_FRAME_BENCHMARK_ON_WET_PAINT(name, tool, 0)
