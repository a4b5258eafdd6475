// The GPU kit's costs with the library's registered kernels, each against the machine's limit for the
// same bytes, measured alternately with it: a memcpy or memset spread over the kits' worker threads
// (all of them, the ones the kernels run on) between page-aligned blocks, as texture memory is. The
// counter "x_limit" is the kernel's median time over the limit's. Then the frame: 40 small dispatches
// as a stroke frame commits them, warm and after 16 ms of idle, and 40 empty dispatches (the
// runtime's own cost). Run with --benchmark_repetitions=N for medians over runs.

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include <benchmark/benchmark.h>

#include "Limits.h"
#include "gpu/Gpu.h"
#include "kernels/Kernels.h"
#include "utils/KernelInterface.h"

namespace {

using namespace tessivarium;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kWidth = 2048, kHeight = 1536, kBytes = kWidth * kHeight * 4;
constexpr std::size_t kRegion = 256;
constexpr std::size_t kBlockBytes = 64 << 10;  // the limit's chunk of bytes

std::shared_ptr<gpu::Device> device() { return gpu::systemDefaultDevice(); }

std::shared_ptr<gpu::ComputePipelineState> pipeline(const std::string& name) {
  static const bool registered = (kernels::registerAll(), true);
  (void)registered;
  return device()->makeComputePipelineState(device()->makeDefaultLibrary()->makeFunction(name));
}

std::shared_ptr<gpu::Texture> texture(std::size_t w, std::size_t h, std::size_t d = 1) {
  gpu::TextureDescriptor descriptor;
  descriptor.textureType = d == 1 ? gpu::TextureType::Type2D : gpu::TextureType::Type3D;
  descriptor.width = w, descriptor.height = h, descriptor.depth = d;
  auto t = device()->makeTexture(descriptor);
  std::mt19937 random(static_cast<unsigned>(w * 31 + h * 7 + d));
  const gpu::TexelView v = t->texels();
  std::uint8_t* bytes = v.texel(0, 0, 0);
  for (std::size_t i = 0; i < v.bytesPerImage() * d; ++i) bytes[i] = static_cast<std::uint8_t>(random() % 64);
  return t;
}

// One dispatch encoded and committed as a pass does, groups of 4 x 4 (x 8 in 3-D) over `over`.
struct Pass {
  std::shared_ptr<gpu::ComputePipelineState> pipeline;
  std::vector<std::pair<std::int64_t, std::shared_ptr<gpu::Texture>>> textures;
  std::vector<std::pair<std::int64_t, std::shared_ptr<gpu::Buffer>>> buffers;
  std::shared_ptr<gpu::Texture> over;

  void run(gpu::CommandQueue& queue) const {
    auto buffer = queue.makeCommandBuffer();
    auto encoder = buffer->makeComputeCommandEncoder();
    encoder->setComputePipelineState(pipeline);
    for (const auto& [slot, t] : textures) encoder->setTexture(t, slot);
    for (const auto& [slot, b] : buffers) encoder->setBuffer(b, 0, slot);
    const bool threeD = over->depth() > 1;
    encoder->dispatchThreadgroups({(over->width() + 3) / 4, (over->height() + 3) / 4, threeD ? (over->depth() + 7) / 8 : 1},
                                  {4, 4, threeD ? 8u : 1u});
    encoder->endEncoding();
    buffer->commit();
  }
};

std::shared_ptr<gpu::Buffer> zeros(std::size_t length) { return device()->makeBuffer(length); }

// ---- The limit: memcpy and memset over the worker threads --------------------------------------

void parallelCopy(std::uint8_t* to, const std::uint8_t* from, std::size_t bytes) {
  gpu::parallelFor(0, (bytes + kBlockBytes - 1) / kBlockBytes, 1, [=](std::size_t first, std::size_t end) {
    const std::size_t a = first * kBlockBytes, b = std::min(bytes, end * kBlockBytes);
    std::memcpy(to + a, from + a, b - a);
  });
}

void parallelFill(std::uint8_t* to, std::size_t bytes) {
  gpu::parallelFor(0, (bytes + kBlockBytes - 1) / kBlockBytes, 1, [=](std::size_t first, std::size_t end) {
    const std::size_t a = first * kBlockBytes, b = std::min(bytes, end * kBlockBytes);
    std::memset(to + a, 0, b - a);
  });
}

double seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

double median(std::vector<double> values) {
  const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
  std::nth_element(values.begin(), middle, values.end());
  return *middle;
}

// The limit for `bytes`: a parallel memcpy or memset between page-aligned blocks, as texture memory is.
class Limit {
 public:
  enum Kind { Memcpy, Memset };
  Limit(Kind kind, std::size_t bytes) : kind_(kind), bytes_(bytes), from_(benchsupport::residentBlock(bytes, 1)), to_(benchsupport::residentBlock(bytes, 0)) {}

  void run() const {
    kind_ == Memcpy ? parallelCopy(to_.data(), from_.data(), bytes_) : parallelFill(to_.data(), bytes_);
    benchmark::ClobberMemory();
  }

 private:
  Kind kind_;
  std::size_t bytes_;
  gpu::ZeroedMemory from_, to_;
};

// Times `work` per iteration, and after each the limit for the same bytes (outside the time), so
// that both see the same machine; "x_limit" is the ratio of their medians.
template <class Work>
void timed(benchmark::State& state, Work work, Limit::Kind kind, std::size_t bytes) {
  const Limit limit(kind, bytes);
  std::vector<double> times, limits;
  for (auto _ : state) {
    auto start = Clock::now();
    work();
    times.push_back(seconds(start));
    state.SetIterationTime(times.back());
    start = Clock::now();
    limit.run();
    limits.push_back(seconds(start));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
  state.counters["x_limit"] = median(times) / median(limits);
}

// The limits on their own: their speed, and their ratio to themselves (about 1).
void BM_LimitMemcpy(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0));
  const Limit limit(Limit::Memcpy, bytes);
  timed(state, [&] { limit.run(); }, Limit::Memcpy, bytes);
}
BENCHMARK(BM_LimitMemcpy)->Arg(kBytes)->Arg(256 * 256 * 32 * 4)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_LimitMemset(benchmark::State& state) {
  const std::size_t bytes = static_cast<std::size_t>(state.range(0));
  const Limit limit(Limit::Memset, bytes);
  timed(state, [&] { limit.run(); }, Limit::Memset, bytes);
}
BENCHMARK(BM_LimitMemset)->Arg(kBytes)->UseManualTime()->Unit(benchmark::kMicrosecond);

// ---- The registered kernels over large textures ----------------------------------------------

void BM_TextureCopy2048x1536(benchmark::State& state) {
  auto queue = device()->makeCommandQueue();
  const auto from = texture(kWidth, kHeight), to = texture(kWidth, kHeight);
  const Pass copy{pipeline("pic_flip_texture_copy"), {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, from};
  timed(state, [&] { copy.run(*queue); }, Limit::Memcpy, kBytes);
}
BENCHMARK(BM_TextureCopy2048x1536)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_TextureCopy3D256x256x32(benchmark::State& state) {
  auto queue = device()->makeCommandQueue();
  const auto from = texture(256, 256, 32), to = texture(256, 256, 32);
  const Pass copy{pipeline("pic_flip_texture_copy"), {{TEXTURE_COPY_FROM, from}, {TEXTURE_COPY_TO, to}}, {}, from};
  timed(state, [&] { copy.run(*queue); }, Limit::Memcpy, 256 * 256 * 32 * 4);
}
BENCHMARK(BM_TextureCopy3D256x256x32)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_TextureReset2D2048x1536(benchmark::State& state) {
  auto queue = device()->makeCommandQueue();
  const auto target = texture(kWidth, kHeight);
  // As the system binds it: a zero offset and a zero clear value.
  const Pass reset{pipeline("pic_flip_texture_reset2D"),
                   {{TEXTURE_RESET, target}},
                   {{BUFFER_OFFSET, zeros(16)}, {BUFFER_VALUE, zeros(16)}},
                   target};
  timed(state, [&] { reset.run(*queue); }, Limit::Memset, kBytes);
}
BENCHMARK(BM_TextureReset2D2048x1536)->UseManualTime()->Unit(benchmark::kMicrosecond);

// ---- A frame of small dispatches ---------------------------------------------------------------

// Ten rounds of a copy, an overlay, a 2-D reset and a read-modify-write fold over 256 x 256.
class Frame {
 public:
  Frame() {
    const auto paint = texture(kRegion, kRegion), layer = texture(kRegion, kRegion), scratch = texture(kRegion, kRegion),
               wet = texture(kRegion, kRegion), dry = texture(kRegion, kRegion), height = texture(kRegion, kRegion);
    passes_ = {
        {pipeline("pic_flip_texture_copy"), {{TEXTURE_COPY_FROM, paint}, {TEXTURE_COPY_TO, scratch}}, {}, paint},
        {pipeline("textureOverlay2D"), {{TEXTURE_COPY_FROM, paint}, {TEXTURE_COPY_TO, layer}}, {}, layer},
        {pipeline("pic_flip_texture_reset2D"),
         {{TEXTURE_RESET, scratch}},
         {{BUFFER_OFFSET, zeros(16)}, {BUFFER_VALUE, zeros(16)}},
         scratch},
        {pipeline("texture_data_to_height_subimage"),
         {{TEXTURE_WET_READ, wet}, {TEXTURE_DRY_READ, dry}, {TEXTURE_HEIGHT_IMAGE_READ, height},
          {TEXTURE_HEIGHT_IMAGE_WRITE, height}},
         {{BUFFER_OFFSET, zeros(16)}},
         height},
    };
  }

  void run(gpu::CommandQueue& queue) const {
    for (int round = 0; round < 10; ++round)
      for (const Pass& pass : passes_) pass.run(queue);
  }

 private:
  std::vector<Pass> passes_;
};

// Times `frame` per iteration; with `idle`, 16 ms pass before each frame, outside the time.
template <class Run>
void frames(benchmark::State& state, Run frame, bool idle) {
  for (auto _ : state) {
    if (idle) std::this_thread::sleep_for(std::chrono::milliseconds(16));
    const auto start = Clock::now();
    frame();
    state.SetIterationTime(seconds(start));
  }
}

void BM_Frame40Dispatches256(benchmark::State& state) {
  auto queue = device()->makeCommandQueue();
  const Frame frame;
  frames(state, [&] { frame.run(*queue); }, state.range(0) != 0);
}
BENCHMARK(BM_Frame40Dispatches256)->ArgName("idle")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_40EmptyDispatches256(benchmark::State& state) {
  gpu::registerKernel("bench_empty", [](const gpu::Dispatch& d) {
    gpu::forEachThread(d, d.texels(0), [](gpu::uint3) {});
  });
  auto queue = device()->makeCommandQueue();
  const auto target = texture(kRegion, kRegion);
  const Pass empty{pipeline("bench_empty"), {{0, target}}, {}, target};
  frames(state, [&] { for (int i = 0; i < 40; ++i) empty.run(*queue); }, state.range(0) != 0);
}
BENCHMARK(BM_40EmptyDispatches256)->ArgName("idle")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
