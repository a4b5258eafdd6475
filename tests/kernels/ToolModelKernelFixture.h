#pragma once
// Small heads and windows for the tool-model kernels, and the records their passes bind.

#include <cmath>
#include <optional>
#include <vector>

#include "KernelHarness.h"
#include "tools/ToolModelKernelRecords.h"
#include "utils/KernelInterface.h"

namespace kerneltest {

inline constexpr std::uint8_t kSolid = 255;

// A head shaped by its descriptor: the tip at (tipX, tipY), `tipZ` cells up, in a circle of `radius`
// around (centreX, centreY); the knives' case index gives a flat blade. Mode 1 lays paint dry; the
// thickness scales what is loaded and laid.
inline Bytes descriptorRecord(float tipX, float tipY, float tipZ, float centreX, float centreY, float radius,
                              std::uint32_t toolType = 9, float rotation = 0, std::int32_t mode = 0,
                              float thickness = 1) {
  tessivarium::DAEToolDescriptor d;
  d.mode = mode, d.thickness = thickness;
  d.origin = {tipX, tipY, tipZ};
  d.headTop = {tipX, tipY, tipZ};
  d.headCenter = {centreX, centreY, tipZ};
  d.headRadius = radius, d.toolType = toolType, d.rotation = rotation, d.scale = 1;
  const auto bytes = tessivarium::descriptorBytes(d);
  return Bytes(bytes.begin(), bytes.end());
}

struct Touch {
  float x, y, force = 0.8f, altitude = 1.0f;
};

// The sample buffers of encodeInput.
inline std::map<std::int64_t, Bytes> sampleBuffers(const std::vector<Touch>& touches) {
  using namespace tessivarium;
  std::vector<float> positions, forces, altitudes, azimuths;
  for (const Touch& t : touches) {
    positions.insert(positions.end(), {t.x, t.y, 5.0f});
    forces.push_back(t.force), altitudes.push_back(t.altitude), azimuths.push_back(0.3f);
  }
  const auto floats = [](const std::vector<float>& v) {
    Bytes out(v.size() * sizeof(float));
    if (!v.empty()) std::memcpy(out.data(), v.data(), out.size());
    return out;
  };
  return {{BUFFER_POSITION_NUMBER, bytesOf(static_cast<std::int64_t>(touches.size()))},
          {BUFFER_POSITION, floats(positions)},
          {BUFFER_FORCE, floats(forces)},
          {BUFFER_ALTITUDE, floats(altitudes)},
          {BUFFER_AZIMUTH, floats(azimuths)}};
}

// Paint on a head: one thickness byte per paint cell (neither air nor body).
inline long headPaint(const gpu::Texture& head) {
  long n = 0;
  for (std::size_t z = 0; z < head.depth(); ++z)
    for (std::size_t y = 0; y < head.height(); ++y)
      for (std::size_t x = 0; x < head.width(); ++x) {
        const std::uint8_t a = at(head, x, y, z)[3];
        n += a != 0 && a != kSolid;
      }
  return n;
}

// Paint on the wide brushes' flat head: the bytes its ledger (slice 2) counts in its two wells.
inline long flatHeadPaint(const gpu::Texture& head) {
  long n = 0;
  for (std::size_t y = 0; y < head.height(); ++y)
    for (std::size_t x = 0; x < head.width(); ++x) {
      const Texel ledger = at(head, x, y, 2);
      n += ledger[3] == kSolid ? ledger[0] + ledger[1] : 0;
    }
  return n;
}

// The wide brushes' passes bind no descriptor: a record too short to be one stands in for none.
inline const Bytes kNoDescriptor{0};

// Whether a paint pass changed the cell whose written grid texel this is: marked 1, or 3 while it
// lies about the head at the step's last sample (held back from the blur).
inline bool changedByPass(const Texel& grid) { return grid[2] == 1 || grid[2] == 3; }

// Paint in a window: the wet thickness summed.
inline long windowPaint(const gpu::Texture& wet) {
  long n = 0;
  for (std::size_t y = 0; y < wet.height(); ++y)
    for (std::size_t x = 0; x < wet.width(); ++x) n += at(wet, x, y)[3];
  return n;
}

// The working textures of one stroke step and a tool head pair, bound as the passes bind them.
struct StrokeStep {
  StrokeStep(std::size_t window, std::size_t w, std::size_t h, std::size_t d)
      : grid0(texture(window, window)), grid1(texture(window, window)), wet0(texture(window, window)),
        wet1(texture(window, window)), dry0(texture(window, window)), dry1(texture(window, window)),
        headA(texture(w, h, d)), headB(texture(w, h, d)) {}

  std::map<std::int64_t, std::shared_ptr<gpu::Texture>> windowTextures() const {
    using namespace tessivarium;
    return {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid1}, {TEXTURE_WET_READ, wet0},
            {TEXTURE_WET_WRITE, wet1},  {TEXTURE_DRY_READ, dry0},    {TEXTURE_DRY_WRITE, dry1}};
  }

  // Shapes the empty head into headA (read from headB), as the model's initialiser does.
  void initialize(const Bytes& descriptor) {
    using namespace tessivarium;
    run({"DAEToolModel_initialize", {{TEXTURE_TOOL_READ, headB}, {TEXTURE_TOOL_WRITE, headA}},
         {{BUFFER_DAE_DESCRIPTOR, descriptor}}, headA, true});
  }

  // Loads headA with paint in place, as the colour fill does.
  void fillHead(const std::string& kernel, std::array<float, 4> color, float force, const Bytes& descriptor) {
    using namespace tessivarium;
    run({kernel, {{TEXTURE_TOOL_READ, headB}, {TEXTURE_TOOL_WRITE, headA}},
         {{BUFFER_COLOR, floatRecord({color[0], color[1], color[2], color[3]})},
          {BUFFER_FORCE, floatRecord({force})}, {BUFFER_DAE_DESCRIPTOR, descriptor}}, headA, true});
  }

  // One stroke step on the window: the copy of the head, the reset of grid1, the paint pass (headA
  // read, headB written), the overlay map (with the dry pair) and the blur twice. With a mask (over the window at
  // `maskOffset`), the paint pass, the overlay map and the blur are given it and the mask pass
  // ends the step, carrying the head back. The head is then headB. As a stroke's steps do, each
  // step after the first is given the last sample of the one before, where its path comes on from.
  void paintStep(const std::string& kernel, const std::vector<Touch>& touches, const Bytes& descriptor, bool forward = true,
                 const std::shared_ptr<gpu::Texture>& mask = nullptr, Bytes maskOffset = offsetRecord(0, 0)) {
    using namespace tessivarium;
    std::memcpy(headB->texels().texel(0, 0, 0), headA->texels().texel(0, 0, 0), contents(*headA).size());
    run({"pic_flip_texture_reset2D", {{TEXTURE_RESET, grid1}}, {{BUFFER_VALUE, floatRecord({0, 0, 0, 0})}}, grid1});
    const auto masked = [&](std::map<std::int64_t, std::shared_ptr<gpu::Texture>> textures) {
      if (mask) textures[TEXTURE_MASK_IMAGE] = mask;
      return textures;
    };
    const auto offset = [&](std::map<std::int64_t, Bytes> buffers) {
      if (mask) buffers[BUFFER_OFFSET] = maskOffset;
      return buffers;
    };
    auto textures = windowTextures();
    textures[TEXTURE_TOOL_READ] = headA, textures[TEXTURE_TOOL_WRITE] = headB;
    auto buffers = sampleBuffers(touches);
    buffers[BUFFER_DAE_DESCRIPTOR] = descriptor;
    buffers[BUFFER_PENCIL_STATE] = Bytes{0, static_cast<std::uint8_t>(forward ? 1 : 0), 0, 0, 0, 0, 0, 0};
    buffers[BUFFER_OFFSET] = offsetRecord(0, 0);
    if (pathStart) buffers[BUFFER_VALUE] = floatRecord({pathStart->x, pathStart->y, pathStart->force});
    if (!touches.empty()) pathStart = touches.back();
    run({kernel, masked(textures), offset(buffers), grid0});
    run({"DAEToolModel_overlay_map",
         masked({{TEXTURE_GRID_READ, grid1}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_READ, wet1}, {TEXTURE_WET_WRITE, wet0},
                 {TEXTURE_DRY_READ, dry1}, {TEXTURE_DRY_WRITE, dry0}}),
         offset({}), wet0});
    run({"DAEToolModel_blur_image",
         masked({{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_READ, wet0}, {TEXTURE_WET_WRITE, wet0},
                 {TEXTURE_MAP_READ, grid1}}),
         offset({}), grid1, false, 2});
    std::swap(headA, headB);
    if (mask) {
      run({"DAEToolModel_mask",
           {{TEXTURE_GRID_READ, grid0}, {TEXTURE_GRID_WRITE, grid0}, {TEXTURE_WET_WRITE, wet0}, {TEXTURE_DRY_WRITE, dry0},
            {TEXTURE_MASK_IMAGE, mask}, {TEXTURE_TOOL_READ, headA}, {TEXTURE_TOOL_WRITE, headB}},
           {{BUFFER_OFFSET, maskOffset}}, grid0});
      std::swap(headA, headB);
    }
  }

  std::shared_ptr<gpu::Texture> grid0, grid1, wet0, wet1, dry0, dry1, headA, headB;
  std::optional<Touch> pathStart;  // the last sample painted; none before the stroke's first step
};

// A cell's wet texel as a paint pass leaves it: the written copy where the pass changed the cell.
inline Texel wetAfter(const StrokeStep& step, std::size_t x, std::size_t y) {
  return changedByPass(at(*step.grid1, x, y)) ? at(*step.wet1, x, y) : at(*step.wet0, x, y);
}

// A step's head and its passes: a brush or knife head (12 x 12 x 32) shaped by its descriptor, or
// the wide brushes' flat head (12 x 12 x 3, no descriptor), loaded by the fill named.
struct StepHead {
  const char* paint;
  const char* fill;
  const Bytes* descriptor;

  bool flat() const { return descriptor == &kNoDescriptor; }
  StrokeStep step() const {
    StrokeStep step(32, 12, 12, flat() ? 3 : 32);
    if (!flat()) step.initialize(*descriptor);
    return step;
  }
  long paintOn(const gpu::Texture& head) const { return flat() ? flatHeadPaint(head) : headPaint(head); }
};

}  // namespace kerneltest
