// The tool-model kernels alone, dispatched through the GPU kit as their passes dispatch them, on a
// 56 x 56 x 96 brush head over the 256 x 256 working window with 36 samples; beside them, in the
// same run, an 8-thread memcpy of the same bytes (the machine's limit for touching them once).

#include <benchmark/benchmark.h>

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Limits.h"
#include "gpu/Gpu.h"
#include "kernels/Kernels.h"
#include "tools/ToolModelKernelRecords.h"
#include "utils/KernelInterface.h"

namespace {

using namespace tessivarium;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kWindow = 256, kHeadWidth = 56, kHeadDepth = 96, kSamples = 36;

std::shared_ptr<gpu::Texture> makeTexture(std::size_t w, std::size_t h, std::size_t d = 1) {
  auto descriptor = gpu::TextureDescriptor::make();
  descriptor->textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
  descriptor->width = w, descriptor->height = h, descriptor->depth = d;
  return gpu::systemDefaultDevice()->makeTexture(descriptor);
}

std::size_t byteSize(const gpu::Texture& t) { return t.texels().bytesPerImage() * t.depth(); }
std::uint8_t* bytesOf(const gpu::Texture& t) { return t.texels().texel(0, 0, 0); }

template <typename T>
Bytes record(const T* values, std::size_t count) {
  Bytes out(sizeof(T) * count);
  std::memcpy(out.data(), values, out.size());
  return out;
}

struct Dispatch {
  std::string kernel;
  std::map<std::int64_t, std::shared_ptr<gpu::Texture>> textures;
  std::map<std::int64_t, Bytes> buffers;
  std::shared_ptr<gpu::Texture> gridOver;
  bool threeD = false;
};

// The window, the head pair and the records of one stroke step of a brush over half-wet paint.
struct Step {
  Step()
      : grid0(makeTexture(kWindow, kWindow)), grid1(makeTexture(kWindow, kWindow)), wet0(makeTexture(kWindow, kWindow)),
        wet1(makeTexture(kWindow, kWindow)), dry0(makeTexture(kWindow, kWindow)), dry1(makeTexture(kWindow, kWindow)),
        mask(makeTexture(kWindow, kWindow)), preview(makeTexture(kHeadWidth, kHeadWidth)),
        headA(makeTexture(kHeadWidth, kHeadWidth, kHeadDepth)), headB(makeTexture(kHeadWidth, kHeadWidth, kHeadDepth)) {
    kernels::registerAll();
    queue = gpu::systemDefaultDevice()->makeCommandQueue();
    DAEToolDescriptor d;
    d.origin = {28, 28, 32}, d.headTop = d.origin, d.headCenter = {28, 28, 32};
    d.headRadius = 26, d.toolType = 9, d.rotation = 0.3f, d.scale = 1, d.thickness = 1;
    const auto descriptorBytes = tessivarium::descriptorBytes(d);
    descriptor.assign(descriptorBytes.begin(), descriptorBytes.end());
    std::vector<float> positions, forces, altitudes, azimuths;
    for (std::size_t i = 0; i < kSamples; ++i) {
      positions.insert(positions.end(), {60.0f + 3.0f * i, 120.0f + 0.5f * i, 5.0f});
      forces.push_back(0.8f), altitudes.push_back(0.9f), azimuths.push_back(0.2f);
    }
    const auto count = static_cast<std::int64_t>(kSamples);
    samples = {{BUFFER_POSITION_NUMBER, record(&count, 1)},
               {BUFFER_POSITION, record(positions.data(), positions.size())},
               {BUFFER_FORCE, record(forces.data(), forces.size())},
               {BUFFER_ALTITUDE, record(altitudes.data(), altitudes.size())},
               {BUFFER_AZIMUTH, record(azimuths.data(), azimuths.size())},
               {BUFFER_OFFSET, Bytes(16, 0)},
               {BUFFER_DAE_DESCRIPTOR, descriptor},
               {BUFFER_PENCIL_STATE, Bytes{0, 1, 0, 0, 0, 0, 0, 0}}};
    const gpu::TexelView wet = wet0->texels(), grid = grid0->texels(), masked = mask->texels();
    for (std::size_t y = 0; y < kWindow; ++y)
      for (std::size_t x = 0; x < kWindow; ++x) {
        if (x >= kWindow / 2) {
          std::uint8_t* w = wet.texel(x, y);
          w[0] = 40, w[1] = 90, w[2] = 200, w[3] = 30;
          std::uint8_t* g = grid.texel(x, y);
          g[0] = 252, g[3] = TOOL_FLUID;
        }
        masked.texel(x, y)[3] = (x / 16 + y / 16) % 2 ? 255 : 0;
      }
    run({{"DAEToolModel_initialize", {{TEXTURE_TOOL_READ, headB}, {TEXTURE_TOOL_WRITE, headA}}, samples, headA, true}});
    run({{"DAEToolModel_brush_fill", {{TEXTURE_TOOL_READ, headB}, {TEXTURE_TOOL_WRITE, headA}},
          {{BUFFER_COLOR, record(std::array<float, 4>{0.8f, 0.3f, 0.1f, 1}.data(), 4)}, {BUFFER_DAE_DESCRIPTOR, descriptor}},
          headA, true}});
    for (const auto& t : {grid0, wet0, headA}) saved.push_back(Bytes(bytesOf(*t), bytesOf(*t) + byteSize(*t)));
  }

  // Puts the window and the head back as they were before the first step.
  void restore() {
    const std::shared_ptr<gpu::Texture> targets[] = {grid0, wet0, headA};
    for (std::size_t i = 0; i < saved.size(); ++i) std::memcpy(bytesOf(*targets[i]), saved[i].data(), saved[i].size());
  }

  // The kernels of one stroke step on one command buffer: the head copy, the reset of grid1, the
  // paint pass, the overlay map (with the dry pair), the blur twice and, with a mask, the mask; on
  // a masked canvas the paint pass, the overlay map and the blur are given the mask too.
  std::vector<Dispatch> strokeStep(const std::string& paintKernel, bool withMask) const {
    using Textures = std::map<std::int64_t, std::shared_ptr<gpu::Texture>>;
    const auto masked = [&](Textures textures) {
      if (withMask) textures[TEXTURE_MASK_IMAGE] = mask;
      return textures;
    };
    const std::map<std::int64_t, Bytes> offset{{BUFFER_OFFSET, Bytes(16, 0)}};
    const Textures window{{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid1}, {TEXTURE_WET_READ, wet0},
                          {TEXTURE_WET_WRITE, wet1},  {TEXTURE_DRY_READ, dry0},    {TEXTURE_DRY_WRITE, dry1},
                          {TEXTURE_TOOL_READ, headA}, {TEXTURE_TOOL_WRITE, headB}};
    std::vector<Dispatch> out = {
        {"pic_flip_texture_copy", {{TEXTURE_COPY_FROM, headA}, {TEXTURE_COPY_TO, headB}}, {}, headA, true},
        {"pic_flip_texture_reset2D", {{TEXTURE_RESET, grid1}}, {}, grid1},
        {paintKernel, masked(window), samples, grid0},
        {"DAEToolModel_overlay_map",
         masked({{TEXTURE_GRID_READ, grid1}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_READ, wet1}, {TEXTURE_WET_WRITE, wet0},
                 {TEXTURE_DRY_READ, dry1}, {TEXTURE_DRY_WRITE, dry0}}),
         offset, dry0}};
    const Dispatch blur{"DAEToolModel_blur_image",
                        masked({{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_READ, wet0},
                                {TEXTURE_WET_WRITE, wet0}, {TEXTURE_MAP_READ, grid1}}),
                        offset, grid1};
    out.push_back(blur), out.push_back(blur);
    if (withMask) {
      out.push_back({"DAEToolModel_mask",
                     {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_WRITE, wet0},
                      {TEXTURE_DRY_WRITE, dry0}, {TEXTURE_MASK_IMAGE, mask}, {TEXTURE_TOOL_READ, headB},
                      {TEXTURE_TOOL_WRITE, headA}},
                     samples, grid0});
    }
    return out;
  }

  void run(const std::vector<Dispatch>& dispatches) const {
    const auto device = gpu::systemDefaultDevice();
    const auto buffer = queue->makeCommandBuffer();
    const auto encoder = buffer->makeComputeCommandEncoder();
    for (const Dispatch& d : dispatches) {
      encoder->setComputePipelineState(pipeline(d.kernel));
      for (const auto& [slot, t] : d.textures) encoder->setTexture(t, slot);
      for (const auto& [slot, bytes] : d.buffers) encoder->setBuffer(device->makeBuffer(bytes.data(), bytes.size()), 0, slot);
      const gpu::Size threads{4, 4, d.threeD ? 8u : 1u};
      encoder->dispatchThreadgroups({(d.gridOver->width() + 3) / 4, (d.gridOver->height() + 3) / 4,
                                     d.threeD ? (d.gridOver->depth() + 7) / 8 : 1},
                                    threads);
    }
    encoder->endEncoding();
    buffer->commit();
  }

  std::shared_ptr<gpu::ComputePipelineState> pipeline(const std::string& name) const {
    auto& cached = pipelines[name];
    if (!cached) {
      const auto device = gpu::systemDefaultDevice();
      cached = device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction(name));
    }
    return cached;
  }

  std::shared_ptr<gpu::Texture> grid0, grid1, wet0, wet1, dry0, dry1, mask, preview, headA, headB;
  std::shared_ptr<gpu::CommandQueue> queue;
  Bytes descriptor;
  std::map<std::int64_t, Bytes> samples;
  std::vector<Bytes> saved;
  mutable std::map<std::string, std::shared_ptr<gpu::ComputePipelineState>> pipelines;
};

Step& step() {
  static Step s;
  return s;
}

// The bytes a stroke step's textures hold: the head pair and the window's grid and wet pairs.
std::size_t strokeStepBytes() {
  const Step& s = step();
  return 2 * byteSize(*s.headA) + 2 * byteSize(*s.grid0) + 2 * byteSize(*s.wet0);
}

void runStrokeStep(benchmark::State& state, const std::string& kernel, bool withMask) {
  Step& s = step();
  const auto dispatches = s.strokeStep(kernel, withMask);
  for (auto _ : state) {
    state.PauseTiming();
    s.restore();
    state.ResumeTiming();
    s.run(dispatches);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * strokeStepBytes()));
}

void BM_BrushStrokeStep(benchmark::State& state) { runStrokeStep(state, "DAEToolModel_brush_paint", false); }
BENCHMARK(BM_BrushStrokeStep)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_BrushStrokeStepMasked(benchmark::State& state) { runStrokeStep(state, "DAEToolModel_brush_paint", true); }
BENCHMARK(BM_BrushStrokeStepMasked)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_KnifeStrokeStep(benchmark::State& state) { runStrokeStep(state, "DAEToolModel_knife_paint", false); }
BENCHMARK(BM_KnifeStrokeStep)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The paint pass alone.
void BM_BrushPaint(benchmark::State& state) {
  Step& s = step();
  const auto dispatches = std::vector<Dispatch>{s.strokeStep("DAEToolModel_brush_paint", false)[2]};
  for (auto _ : state) {
    state.PauseTiming();
    s.restore();
    state.ResumeTiming();
    s.run(dispatches);
  }
}
BENCHMARK(BM_BrushPaint)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The height preview of DEBUG_DAE_KNIFE's Height mode: it reads the head and writes W x H.
void BM_PaintHeight(benchmark::State& state) {
  Step& s = step();
  const std::vector<Dispatch> height = {
      {"DAEToolModel_paint_height", {{TEXTURE_TOOL_READ, s.headA}, {TEXTURE_HEIGHT_IMAGE_WRITE, s.preview}}, {}, s.preview}};
  for (auto _ : state) s.run(height);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * byteSize(*s.headA)));
}
BENCHMARK(BM_PaintHeight)->UseRealTime()->Unit(benchmark::kMicrosecond);

// A clean and a fill: the initialiser writes every head cell, the fill each column below its body.
void BM_InitializeAndFill(benchmark::State& state) {
  Step& s = step();
  const std::vector<Dispatch> clean = {
      {"DAEToolModel_initialize", {{TEXTURE_TOOL_READ, s.headB}, {TEXTURE_TOOL_WRITE, s.headA}}, s.samples, s.headA, true},
      {"DAEToolModel_brush_fill", {{TEXTURE_TOOL_READ, s.headB}, {TEXTURE_TOOL_WRITE, s.headA}},
       {{BUFFER_COLOR, record(std::array<float, 4>{0.8f, 0.3f, 0.1f, 1}.data(), 4)}, {BUFFER_DAE_DESCRIPTOR, s.descriptor}},
       s.headA, true}};
  for (auto _ : state) s.run(clean);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * byteSize(*s.headA)));
}
BENCHMARK(BM_InitializeAndFill)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Memcpy8ThreadsStrokeStepBytes(benchmark::State& state) { benchsupport::memcpyEightThreads(state, strokeStepBytes()); }
BENCHMARK(BM_Memcpy8ThreadsStrokeStepBytes)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Memcpy8ThreadsHeadBytes(benchmark::State& state) { benchsupport::memcpyEightThreads(state, byteSize(*step().headA)); }
BENCHMARK(BM_Memcpy8ThreadsHeadBytes)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
