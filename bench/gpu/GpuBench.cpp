// Costs of the GPU stand-in: a whole dispatch of an empty kernel, a copy kernel against memcpy over
// the same bytes, and a kernel touching every texel of a tool-model-sized 3-D texture.

#include <cstring>
#include <vector>

#include <benchmark/benchmark.h>

#include "gpu/Gpu.h"

namespace {

std::shared_ptr<gpu::ComputePipelineState> pipelineFor(const std::string& name, gpu::Kernel kernel) {
  gpu::registerKernel(name, std::move(kernel));
  auto device = gpu::systemDefaultDevice();
  return device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction(name));
}

std::shared_ptr<gpu::Texture> makeTexture(gpu::TextureType type, std::size_t w, std::size_t h, std::size_t d) {
  auto descriptor = gpu::TextureDescriptor::make();
  descriptor->textureType = type;
  descriptor->width = w, descriptor->height = h, descriptor->depth = d;
  return gpu::systemDefaultDevice()->makeTexture(descriptor);
}

// Encodes and commits one dispatch, as a pass does.
void runDispatch(gpu::CommandQueue& queue, const std::shared_ptr<gpu::ComputePipelineState>& pipeline,
                 const std::vector<std::pair<std::shared_ptr<gpu::Texture>, std::int64_t>>& textures, gpu::Size groups,
                 gpu::Size threads) {
  auto buffer = queue.makeCommandBuffer();
  auto encoder = buffer->makeComputeCommandEncoder();
  encoder->setComputePipelineState(pipeline);
  for (const auto& [texture, index] : textures) encoder->setTexture(texture, index);
  encoder->dispatchThreadgroups(groups, threads);
  encoder->endEncoding();
  buffer->commit();
}

void BM_EmptyKernelDispatch256x256(benchmark::State& state) {
  auto pipeline = pipelineFor("bench_empty", [](const gpu::Dispatch& d) {
    gpu::forEachThread(d, d.texels(0), [](gpu::uint3) {});
  });
  auto queue = gpu::systemDefaultDevice()->makeCommandQueue();
  auto texture = makeTexture(gpu::TextureType::Type2D, 256, 256, 1);
  for (auto _ : state) runDispatch(*queue, pipeline, {{texture, 0}}, {64, 64, 1}, {4, 4, 1});
}
BENCHMARK(BM_EmptyKernelDispatch256x256)->UseRealTime()->Unit(benchmark::kMicrosecond);

constexpr std::size_t kCopyWidth = 2048, kCopyHeight = 1536, kCopyBytes = kCopyWidth * kCopyHeight * 4;

void BM_Memcpy2048x1536(benchmark::State& state) {
  std::vector<std::uint8_t> from(kCopyBytes, 1), to(kCopyBytes, 0);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), kCopyBytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCopyBytes));
}
BENCHMARK(BM_Memcpy2048x1536)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Copies one 2048 x 1536 RGBA8 texture into another with `kernel` (from slot 2 to slot 3).
void runCopyBenchmark(benchmark::State& state, const std::string& name, gpu::Kernel kernel) {
  auto pipeline = pipelineFor(name, std::move(kernel));
  auto queue = gpu::systemDefaultDevice()->makeCommandQueue();
  auto from = makeTexture(gpu::TextureType::Type2D, kCopyWidth, kCopyHeight, 1);
  auto to = makeTexture(gpu::TextureType::Type2D, kCopyWidth, kCopyHeight, 1);
  for (auto _ : state)
    runDispatch(*queue, pipeline, {{from, 2}, {to, 3}}, {kCopyWidth / 4, kCopyHeight / 4, 1}, {4, 4, 1});
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kCopyBytes));
}

void BM_CopyKernel2048x1536(benchmark::State& state) {
  // The copy as the system's texture copy kernel does it: normalised colours in, normalised out.
  runCopyBenchmark(state, "bench_copy", [](const gpu::Dispatch& d) {
    const gpu::TexelView from = d.texels(2), to = d.texels(3);
    gpu::forEachThread(d, to, [from, to](gpu::uint3 p) { to.write(from.read(p), p); });
  });
}
BENCHMARK(BM_CopyKernel2048x1536)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_RawCopyKernel2048x1536(benchmark::State& state) {
  // The same copy through raw texel bytes.
  runCopyBenchmark(state, "bench_raw_copy", [](const gpu::Dispatch& d) {
    const gpu::TexelView from = d.texels(2), to = d.texels(3);
    gpu::forEachThread(d, to, [from, to](gpu::uint3 p) {
      const std::uint8_t* s = from.texel(p);
      if (s != nullptr) std::memcpy(to.texel(p), s, 4);
    });
  });
}
BENCHMARK(BM_RawCopyKernel2048x1536)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Touch3D256x256x32(benchmark::State& state) {
  // Reads and rewrites every texel of a tool-model-sized volume in place.
  auto pipeline = pipelineFor("bench_touch_3d", [](const gpu::Dispatch& d) {
    const gpu::TexelView t = d.texels(0);
    gpu::forEachThread(d, t, [t](gpu::uint3 p) {
      gpu::float4 v = t.read(p);
      v.x = 1.0f - v.x;
      t.write(v, p);
    });
  });
  auto queue = gpu::systemDefaultDevice()->makeCommandQueue();
  auto texture = makeTexture(gpu::TextureType::Type3D, 256, 256, 32);
  for (auto _ : state) runDispatch(*queue, pipeline, {{texture, 0}}, {64, 64, 4}, {4, 4, 8});
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * 256 * 256 * 32 * 4));
}
BENCHMARK(BM_Touch3D256x256x32)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
