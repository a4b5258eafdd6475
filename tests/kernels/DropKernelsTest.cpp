// The drop tools' kernels: the tube's blob laid wet, dry or straight into a layer, its bead along
// the path and across the steps of a stroke, and the sprayer's speckle and droplets, the same bytes
// on any thread count.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <utility>

#include "ToolModelKernelFixture.h"
#include "gpu/Parallel.h"

namespace {

using namespace kerneltest;
using namespace tessivarium;

constexpr std::uint8_t kMark = 1;
const Bytes kColour = floatRecord({0.8f, 0.4f, 0.2f, 1.0f});  // bytes 204, 102, 51; fully wet

std::map<std::int64_t, Bytes> dropBuffers(const std::vector<Touch>& touches, std::optional<std::int32_t> mode) {
  auto buffers = sampleBuffers(touches);
  buffers[BUFFER_COLOR] = kColour;
  if (mode) buffers[BUFFER_DRAWING_MODE] = bytesOf(*mode);
  return buffers;
}

// A sample in the middle of cell (8, 8) at force 0.5: a blob of radius 4 cells, 14 bytes high at
// its centre (14 x sqrt(1 - d^2 / 16) away from it). Laid wet on 14 bytes of blue paint it mixes
// half and half, colour and wetness; laid dry it goes into the dry texture the step keeps.
TEST(DropKernels, TheTubesBlobMixesWithTheCellsPaintWetOrDry) {
  for (const std::int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode);
    StrokeStep step(16, 1, 1, 1);
    set(*step.wet0, 8, 8, {0, 0, 255, 14});
    set(*step.grid0, 8, 8, {100, 7, 0, TOOL_FLUID});
    set(*step.wet0, 9, 9, {0, 0, 255, 250});
    run({"mac_add_sphere", step.windowTextures(), dropBuffers({{8.5f, 8.5f, 0.5f}}, mode), step.grid0});
    if (mode == 0) {
      EXPECT_EQ(at(*step.wet1, 8, 8), (Texel{102, 51, 153, 28}));
      EXPECT_EQ(at(*step.grid1, 8, 8), (Texel{176, 7, kMark, TOOL_FLUID}));
      EXPECT_EQ(at(*step.wet1, 9, 9)[3], 255) << "the thickness stops at 255";
      EXPECT_EQ(at(*step.wet1, 10, 8), (Texel{204, 102, 51, 12}));
      EXPECT_EQ(at(*step.grid1, 13, 8), (Texel{0, 0, 0, 0})) << "beyond the blob nothing is written";
      EXPECT_EQ(windowPaint(*step.dry0), 0);
    } else {
      EXPECT_EQ(at(*step.dry0, 8, 8), (Texel{204, 102, 51, 14}));
      EXPECT_EQ(windowPaint(*step.wet1) + windowPaint(*step.grid1), 0);
    }
  }
}

// On bare cells both drop tools' paint takes the wetness its colour's alpha carries, and a colour
// that carries none (the tools' starting red) is laid fully wet, where knives and brushes can move it.
TEST(DropKernels, LayTheirColoursWetnessAndAColourWithoutAnyFullyWet) {
  for (const char* kernel : {"mac_add_sphere", "DAESprayer_paint"})
    for (const auto& [alpha, wetness] : {std::pair{1.0f, 252}, {100.0f / 255, 100}, {0.0f, 252}}) {
      SCOPED_TRACE(std::string(kernel) + " alpha " + std::to_string(alpha));
      StrokeStep step(16, 1, 1, 1);
      auto buffers = sampleBuffers({{8.5f, 8.5f, 1.0f}, {8.5f, 8.5f, 1.0f}});
      buffers[BUFFER_COLOR] = floatRecord({1, 0, 0, alpha});
      run({kernel, step.windowTextures(), buffers, step.grid0});
      int painted = 0;
      for (std::size_t y = 0; y < 16; ++y)
        for (std::size_t x = 0; x < 16; ++x) {
          if (at(*step.wet1, x, y)[3] == 0) continue;
          ++painted;
          EXPECT_EQ(at(*step.grid1, x, y)[0], wetness) << x << ", " << y;
        }
      EXPECT_GT(painted, 0);
    }
}

// Straight into a layer (the same textures read and written, no mode): wet, unmarked, and kept off
// the masked cells; a sample that is not a number reaches nothing, a force that is not presses
// least.
TEST(DropKernels, TheTubeDrawsInPlaceOffTheMaskAndSkipsBrokenSamples) {
  const auto grid = texture(16, 16), wet = texture(16, 16), mask = texture(16, 16);
  fill(*mask, {0, 0, 0, 255});
  set(*mask, 4, 4, {0, 0, 0, 0});
  const float nan = std::nanf("");
  const std::map<std::int64_t, std::shared_ptr<gpu::Texture>> layer{
      {TEXTURE_GRID_READ, grid}, {TEXTURE_GRID_WRITE, grid}, {TEXTURE_WET_READ, wet},
      {TEXTURE_WET_WRITE, wet}, {TEXTURE_MASK_IMAGE, mask}};
  run({"mac_add_sphere", layer, dropBuffers({{4.5f, 4.5f, 0.5f}, {nan, 2, 1}, {10.5f, 10.5f, nan}}, std::nullopt), grid});
  EXPECT_EQ(at(*wet, 4, 4), (Texel{0, 0, 0, 0}));
  EXPECT_EQ(at(*wet, 5, 4)[3], 14);
  EXPECT_EQ(at(*grid, 5, 4), (Texel{252, 0, 0, TOOL_FLUID}));
  EXPECT_EQ(at(*wet, 10, 10)[3], 4) << "force 0: radius 2, 4 bytes high";
  EXPECT_EQ(at(*wet, 12, 10)[3], 0);
}

// A layer's grid, wet and dry textures, the tube drawing into them in place one dispatch per group
// of samples, on `threads` threads; each group after the first carries the path on from the last
// sample of the group before.
Bytes tubeInPlace(const std::vector<std::vector<Touch>>& groups, std::int32_t mode, std::size_t threads) {
  gpu::setWorkerThreadCount(threads);
  const auto grid = texture(48, 48), wet = texture(48, 48), dry = texture(48, 48);
  const std::map<std::int64_t, std::shared_ptr<gpu::Texture>> layer{
      {TEXTURE_GRID_READ, grid}, {TEXTURE_GRID_WRITE, grid}, {TEXTURE_WET_READ, wet},
      {TEXTURE_WET_WRITE, wet},  {TEXTURE_DRY_READ, dry}};
  for (std::size_t i = 0; i < groups.size(); ++i) {
    auto buffers = dropBuffers(groups[i], mode);
    if (i > 0) {
      const Touch& start = groups[i - 1].back();
      buffers[BUFFER_VALUE] = floatRecord({start.x, start.y, start.force});
    }
    run({"mac_add_sphere", layer, buffers, grid});
  }
  gpu::setWorkerThreadCount(0);
  Bytes out = contents(*grid);
  for (const auto& t : {wet, dry}) {
    const Bytes bytes = contents(*t);
    out.insert(out.end(), bytes.begin(), bytes.end());
  }
  return out;
}

// Samples 20 cells apart, the force rising: the bead runs unbroken from one to the next, widening
// with the force along each segment, and a stroke split into steps, however, lays the very bytes
// of one step: the segment joining two steps is laid once, and the sample they share not twice.
TEST(DropKernels, TheTubesBeadRunsFromSampleToSampleAcrossTheStepsOfAStroke) {
  const Touch a{6.5f, 10.5f, 0.2f}, b{26.5f, 20.5f, 0.6f}, c{40.5f, 27.5f, 1.0f};  // on one line
  for (const std::int32_t mode : {0, 1}) {
    SCOPED_TRACE(mode == 0 ? "wet" : "dry");
    const Bytes whole = tubeInPlace({{a, b, c}}, mode, 1);
    EXPECT_EQ(tubeInPlace({{a, b, c}}, mode, 8), whole);
    EXPECT_EQ(tubeInPlace({{a, b}, {c}}, mode, 8), whole);
    EXPECT_EQ(tubeInPlace({{a}, {b}, {c}}, mode, 8), whole);
    const std::size_t thickness = (mode == 0 ? 48 * 48 : 2 * 48 * 48) * 4 + 3;
    for (std::size_t x = 7; x <= 40; ++x) {
      const std::size_t y = static_cast<std::size_t>(10.5f + (static_cast<float>(x) - 6.0f) / 2);
      EXPECT_GT(whole[thickness + (y * 48 + x) * 4], 0) << "the line at " << x << "," << y;
    }
  }
  // The bead's radius follows the force along a segment: halfway from force 0 (radius 2) to force 1
  // (radius 6) it is 4, so there the cells 3 off the line hold paint and those 4 off none.
  const Bytes rising = tubeInPlace({{{4.5f, 24.5f, 0.0f}, {44.5f, 24.5f, 1.0f}}}, 0, 1);
  const auto thickness = [&](std::size_t y) { return int{rising[48 * 48 * 4 + (y * 48 + 24) * 4 + 3]}; };
  EXPECT_GT(thickness(21), 0);
  EXPECT_GT(thickness(27), 0);
  EXPECT_EQ(thickness(20), 0);
  EXPECT_EQ(thickness(28), 0);
}

// A lone sample's droplets land one to a cell: each is 2 to 4 bytes thick, all three thicknesses
// found.
TEST(DropKernels, ASprayedDropletIsTwoToFourBytesThick) {
  StrokeStep step(64, 1, 1, 1);
  run({"DAESprayer_paint", step.windowTextures(), dropBuffers({{32.25f, 31.75f, 1.0f}}, std::nullopt), step.grid0});
  std::set<int> thicknesses;
  const Bytes wet = contents(*step.wet1);
  for (std::size_t k = 3; k < wet.size(); k += 4)
    if (wet[k] > 0) thicknesses.insert(wet[k]);
  EXPECT_EQ(thicknesses, (std::set<int>{2, 3, 4}));
}

// The distance from point (px, py) to the segment from (ax, ay) to (bx, by).
double toSegment(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
  return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// Each cell's droplets depend only on the path and where it lies on the layer: the same bytes on
// one thread and on many, and the same place seen through a window moved by whole cells sprays the
// same droplets on the same layer cells. Droplets land along the whole path, within reach of it.
TEST(DropKernels, TheSprayersSpeckleIsTheSameOnAnyThreadCountAndThroughAnyWindow) {
  const auto spray = [](std::uint32_t dx, std::uint32_t dy, std::size_t threads) {
    gpu::setWorkerThreadCount(threads);
    StrokeStep step(96, 1, 1, 1);
    auto buffers = dropBuffers({{30.25f + static_cast<float>(dx), 40.75f + static_cast<float>(dy), 0.8f},
                                {61.5f + static_cast<float>(dx), 42.25f + static_cast<float>(dy), 0.8f}},
                               std::nullopt);
    buffers[BUFFER_OFFSET] = offsetRecord(100 - dx, 200 - dy);
    run({"DAESprayer_paint", step.windowTextures(), buffers, step.grid0});
    gpu::setWorkerThreadCount(0);
    return std::pair{contents(*step.wet1), contents(*step.grid1)};
  };
  const auto one = spray(0, 0, 1), many = spray(0, 0, 8), moved = spray(20, 10, 8);
  EXPECT_EQ(one, many);
  std::size_t drops = 0, early = 0;
  for (std::size_t y = 0; y < 96; ++y) {
    for (std::size_t x = 0; x < 96; ++x) {
      const std::size_t k = (y * 96 + x) * 4;
      const bool hit = one.first[k + 3] > 0;
      drops += hit, early += hit && x < 46;
      // The reach at force 0.8 is 14 cells.
      if (hit) {
        EXPECT_LT(toSegment(x + 0.5, y + 0.5, 30.25, 40.75, 61.5, 42.25), 14.0) << x << "," << y;
        EXPECT_EQ(one.second[k + 2], kMark);
      }
      if (x + 20 < 96 && y + 10 < 96) {
        EXPECT_EQ(moved.first[((y + 10) * 96 + x + 20) * 4 + 3], one.first[k + 3]) << x << "," << y;
      }
    }
  }
  EXPECT_GT(drops, 40u);
  EXPECT_LT(drops, 1200u) << "a speckle, not a fill";
  EXPECT_GT(early * 3, drops) << "the first half of the path is sprayed as well as the second";
}

// Samples on whole points, one or five cells apart along a row or a column: each row along a
// stroke across (each column along one down) varies as the speckle does, rather than repeating
// with the samples' spacing in pin-stripes or a lattice.
TEST(DropKernels, TheSprayersRowsAlongAStrokeDoNotRepeatWithItsSamples) {
  for (const int spacing : {1, 5}) {
    for (const bool across : {true, false}) {
      SCOPED_TRACE(std::to_string(spacing) + (across ? " cells apart across" : " cells apart down"));
      std::vector<Touch> touches;
      for (int i = 10; i <= 86; i += spacing) {
        const auto along = static_cast<float>(i);
        touches.push_back(across ? Touch{along, 48, 0.8f} : Touch{48, along, 0.8f});
      }
      StrokeStep step(96, 1, 1, 1);
      run({"DAESprayer_paint", step.windowTextures(), dropBuffers(touches, std::nullopt), step.grid0});
      const Bytes wet = contents(*step.wet1);
      // The thickness at `along` on line `line` of the stroke.
      const auto thickness = [&](std::size_t line, std::size_t along) {
        return wet[((across ? line * 96 + along : along * 96 + line) * 4) + 3];
      };
      int lines = 0;
      for (std::size_t line = 34; line < 63; ++line) {
        bool reached = false, repeats = true;
        for (std::size_t along = 24; along + static_cast<std::size_t>(spacing) < 72; ++along) {
          reached = reached || thickness(line, along) > 0;
          repeats = repeats && thickness(line, along) == thickness(line, along + static_cast<std::size_t>(spacing));
        }
        if (!reached) continue;
        ++lines;
        EXPECT_FALSE(repeats) << "line " << line;
      }
      EXPECT_GE(lines, 20);
    }
  }
}

}  // namespace
