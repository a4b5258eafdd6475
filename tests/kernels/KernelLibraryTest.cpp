// The whole kernel library: every registered kernel dispatched once, as its pass dispatches it,
// over one small set of textures (random paint, grids of wet paint, a clean head) bound at every
// texture slot and plausible records at every buffer slot. None may stop, and each must write
// something.

#include <gtest/gtest.h>

#include <exception>
#include <random>
#include <set>

#include "ToolModelKernelFixture.h"
#include "kernels/Kernels.h"
#include "tools/ToolModelKernelRecords.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::size_t kWindow = 32;

// How a kernel's pass lays out its grid: over the window (most), over the head in 3-D, or one
// thread per bristle.
enum class Grid { Window, Head, Bristles };

Grid gridOf(const std::string& kernel) {
  static const std::set<std::string> head = {"DAEToolModel_initialize", "DAEToolModel_brush_fill",
                                             "DAEToolModel_knife_fill", "DAEToolModel_wide_brush_fill"};
  static const std::set<std::string> bristles = {"DAEToolModel_brush_flat", "DAEToolModel_brush_fan",
                                                 "DAEToolModel_brush_filbert"};
  return head.count(kernel) ? Grid::Head : bristles.count(kernel) ? Grid::Bristles : Grid::Window;
}

std::shared_ptr<gpu::Texture> randomTexture(std::size_t w, std::size_t h, std::size_t d, std::mt19937& random) {
  auto t = texture(w, h, d);
  const gpu::TexelView v = t->texels();
  std::uniform_int_distribution<int> byte(0, 255);
  for (std::size_t z = 0; z < d; ++z)
    for (std::size_t y = 0; y < h; ++y)
      for (std::size_t x = 0; x < w; ++x)
        if (std::uint8_t* texel = v.texel(x, y, z)) {
          for (std::size_t c = 0; c < 4; ++c) texel[c] = static_cast<std::uint8_t>(byte(random));
        }
  return t;
}

// Every buffer a pass of the library sends, with values a stroke could bring.
std::map<std::int64_t, Bytes> everyBuffer() {
  auto buffers = sampleBuffers({{6, 6}, {12, 9, 0.5f}, {20, 14, 1.0f, 0.6f}});
  buffers[BUFFER_OFFSET] = offsetRecord(2, 3);
  buffers[BUFFER_DT] = floatRecord({1});
  buffers[BUFFER_SCALE] = floatRecord({1});
  // A clear value to the resets, a thickness of 5 bytes to the imports.
  buffers[BUFFER_VALUE] = floatRecord({5.0f / 255, 0, 0, 0});
  buffers[BUFFER_COLOR] = floatRecord({0.7f, 0.3f, 0.2f, 1});
  buffers[BUFFER_SHOW_GROUND] = flag(true);
  buffers[BUFFER_DAE_DESCRIPTOR] = descriptorRecord(6, 4, 4, 6, 4, 4);
  buffers[BUFFER_PENCIL_STATE] = Bytes{0, 1, 0, 0, 0, 0, 0, 0};
  const std::vector<Bristle> bristles = {Bristle({3, 3, 4, 6}, 0.2f), Bristle({8, 5, 4, 5}, 1.0f),
                                         Bristle({5, 2, 5, 4}, 2.5f)};
  buffers[BUFFER_BRISTLES] = bristleBytes(bristles);
  buffers[BUFFER_USE_DRY] = flag(true);
  buffers[BUFFER_LAST_LAYER] = flag(true);
  buffers[BUFFER_WETNESS] = floatRecord({0.8f});
  buffers[BUFFER_THICKNESS] = floatRecord({7});
  buffers[BUFFER_DRAWING_MODE] = bytesOf(std::int32_t{0});
  return buffers;
}

using Textures = std::map<std::int64_t, std::shared_ptr<gpu::Texture>>;

// A 32 x 32 window at every slot but the head's, whose two copies hold one shaped, empty head.
Textures smallTextureSet() {
  std::mt19937 random(7);
  Textures textures;
  for (std::int64_t slot = TEXTURE_GRID_READ; slot <= TEXTURE_MASK_IMAGE; ++slot) {
    const bool head = slot == TEXTURE_TOOL_READ || slot == TEXTURE_TOOL_WRITE;
    textures[slot] = head ? randomTexture(12, 8, 16, random) : randomTexture(kWindow, kWindow, 1, random);
  }
  // Grids of wet paint: a wetness level in byte R, the fluid kind in byte A.
  for (const std::int64_t slot : {TEXTURE_GRID_READ, TEXTURE_GRID_WRITE, TEXTURE_GRID_ORIGINAL_READ,
                                  TEXTURE_GRID_ORIGINAL_WRITE, TEXTURE_GRID_MERGE_READ}) {
    const gpu::TexelView v = textures[slot]->texels();
    for (std::size_t y = 0; y < kWindow; ++y)
      for (std::size_t x = 0; x < kWindow; ++x) v.texel(x, y, 0)[0] &= 0xFC, v.texel(x, y, 0)[3] = TOOL_FLUID;
  }
  // The head as a clean tool brings it: shaped and empty, in both copies.
  const auto& head = textures[TEXTURE_TOOL_READ];
  const auto descriptor = everyBuffer()[BUFFER_DAE_DESCRIPTOR];
  run({"DAEToolModel_initialize", {{TEXTURE_TOOL_READ, textures[TEXTURE_TOOL_WRITE]}, {TEXTURE_TOOL_WRITE, head}},
       {{BUFFER_DAE_DESCRIPTOR, descriptor}}, head, true});
  run({"pic_flip_texture_copy", {{TEXTURE_COPY_FROM, head}, {TEXTURE_COPY_TO, textures[TEXTURE_TOOL_WRITE]}}, {}, head,
       true});
  return textures;
}

void dispatchAsItsPassDoes(const std::string& name, const Textures& textures) {
  const auto device = gpu::systemDefaultDevice();
  const auto buffer = device->makeCommandQueue()->makeCommandBuffer();
  const auto encoder = buffer->makeComputeCommandEncoder();
  encoder->setComputePipelineState(device->makeComputePipelineState(device->makeDefaultLibrary()->makeFunction(name)));
  for (const auto& [slot, t] : textures) encoder->setTexture(t, slot);
  for (const auto& [slot, bytes] : everyBuffer()) encoder->setBuffer(bufferOf(bytes), 0, slot);
  switch (gridOf(name)) {
    case Grid::Window:
      encoder->dispatchThreadgroups({kWindow / 4, kWindow / 4, 1}, {4, 4, 1});
      break;
    case Grid::Head:
      encoder->dispatchThreadgroups({3, 2, 2}, {4, 4, 8});
      break;
    case Grid::Bristles:
      encoder->dispatchThreadgroups({1, 1, 1}, {4, 1, 1});
      break;
  }
  encoder->endEncoding();
  buffer->commit();
}

TEST(KernelLibrary, EveryRegisteredKernelRunsOnceOverASmallTextureSetAndWrites) {
  kernels::registerAll();
  const auto names = kernels::names();
  EXPECT_EQ(std::set(names.begin(), names.end()).size(), names.size()) << "each name registered once";
  for (const std::string& name : names) {
    const Textures textures = smallTextureSet();
    std::vector<Bytes> before;
    for (const auto& [slot, t] : textures) before.push_back(contents(*t));

    try {
      dispatchAsItsPassDoes(name, textures);
    } catch (const std::exception& stop) {
      ADD_FAILURE() << name << " stopped: " << stop.what();
      continue;
    }
    std::size_t changed = 0, i = 0;
    for (const auto& [slot, t] : textures) changed += contents(*t) != before[i++];
    EXPECT_GT(changed, 0u) << name << " wrote nothing";
  }
}

}  // namespace
