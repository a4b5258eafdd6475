#include "utils/KernelInterface.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace tessivarium;

struct Constant {
  const char* name;
  std::int64_t value;
  std::int64_t expected;
};

// The kernels read their arguments at these numbers: any change breaks every kernel.
TEST(KernelInterface, EveryConstantHasItsTableValue) {
  const Constant table[] = {
      {"TEXTURE_GRID_READ", TEXTURE_GRID_READ, 0},
      {"TEXTURE_GRID_WRITE", TEXTURE_GRID_WRITE, 1},
      {"TEXTURE_COPY_FROM", TEXTURE_COPY_FROM, 2},
      {"TEXTURE_COPY_TO", TEXTURE_COPY_TO, 3},
      {"TEXTURE_RESET", TEXTURE_RESET, 4},
      {"TEXTURE_HEIGHT_IMAGE_READ", TEXTURE_HEIGHT_IMAGE_READ, 5},
      {"TEXTURE_HEIGHT_IMAGE_WRITE", TEXTURE_HEIGHT_IMAGE_WRITE, 6},
      {"TEXTURE_COLOR_IMAGE_READ", TEXTURE_COLOR_IMAGE_READ, 7},
      {"TEXTURE_COLOR_IMAGE_WRITE", TEXTURE_COLOR_IMAGE_WRITE, 8},
      {"TEXTURE_TOOL_READ", TEXTURE_TOOL_READ, 9},
      {"TEXTURE_TOOL_WRITE", TEXTURE_TOOL_WRITE, 10},
      {"TEXTURE_GROUND", TEXTURE_GROUND, 11},
      {"TEXTURE_DRY_READ", TEXTURE_DRY_READ, 12},
      {"TEXTURE_DRY_WRITE", TEXTURE_DRY_WRITE, 13},
      {"TEXTURE_STROKE_READ", TEXTURE_STROKE_READ, 14},
      {"TEXTURE_STROKE_WRITE", TEXTURE_STROKE_WRITE, 15},
      {"TEXTURE_WET_READ", TEXTURE_WET_READ, 16},
      {"TEXTURE_WET_WRITE", TEXTURE_WET_WRITE, 17},
      {"TEXTURE_MAP_READ", TEXTURE_MAP_READ, 18},
      {"TEXTURE_MAP_WRITE", TEXTURE_MAP_WRITE, 19},
      {"TEXTURE_GRID_ORIGINAL_READ", TEXTURE_GRID_ORIGINAL_READ, 20},
      {"TEXTURE_GRID_ORIGINAL_WRITE", TEXTURE_GRID_ORIGINAL_WRITE, 21},
      {"TEXTURE_GRID_MERGE_READ", TEXTURE_GRID_MERGE_READ, 22},
      {"TEXTURE_WET_MERGE_READ", TEXTURE_WET_MERGE_READ, 23},
      {"TEXTURE_MASK_IMAGE", TEXTURE_MASK_IMAGE, 24},
      {"BUFFER_OFFSET", BUFFER_OFFSET, 0},
      {"BUFFER_DT", BUFFER_DT, 1},
      {"BUFFER_SCALE", BUFFER_SCALE, 2},
      {"BUFFER_VALUE", BUFFER_VALUE, 3},
      {"BUFFER_POSITION", BUFFER_POSITION, 4},
      {"BUFFER_FORCE", BUFFER_FORCE, 5},
      {"BUFFER_COLOR", BUFFER_COLOR, 6},
      {"BUFFER_POSITION_NUMBER", BUFFER_POSITION_NUMBER, 8},
      {"BUFFER_ALTITUDE", BUFFER_ALTITUDE, 9},
      {"BUFFER_AZIMUTH", BUFFER_AZIMUTH, 10},
      {"BUFFER_SHOW_GROUND", BUFFER_SHOW_GROUND, 11},
      {"BUFFER_DAE_DESCRIPTOR", BUFFER_DAE_DESCRIPTOR, 12},
      {"BUFFER_PENCIL_STATE", BUFFER_PENCIL_STATE, 13},
      {"BUFFER_BRISTLES", BUFFER_BRISTLES, 14},
      {"BUFFER_USE_DRY", BUFFER_USE_DRY, 15},
      {"BUFFER_LAST_LAYER", BUFFER_LAST_LAYER, 16},
      {"BUFFER_WETNESS", BUFFER_WETNESS, 17},
      {"BUFFER_THICKNESS", BUFFER_THICKNESS, 18},
      {"BUFFER_DRAWING_MODE", BUFFER_DRAWING_MODE, 19},
      {"GRID_WETNESS", GRID_WETNESS, 0},
      {"GRID_DRY_WETNESS", GRID_DRY_WETNESS, 1},
      {"GRID_TYPE", GRID_TYPE, 3},
      {"TOOL_AIR", TOOL_AIR, 0},
      {"TOOL_SOLID", TOOL_SOLID, 1},
      {"TOOL_FLUID", TOOL_FLUID, 2},
      {"TOOL_CELL_WETNESS_SHIFT", TOOL_CELL_WETNESS_SHIFT, 2},
      {"TOOL_CELL_WETNESS_MAX", TOOL_CELL_WETNESS_MAX, 63},
      {"MAX_DEPTH", MAX_DEPTH, 255},
  };
  std::set<std::int64_t> textureSlots, bufferSlots;
  for (const auto& c : table) {
    EXPECT_EQ(c.value, c.expected) << c.name;
    const std::string name = c.name;
    if (name.rfind("TEXTURE_", 0) == 0) textureSlots.insert(c.value);
    if (name.rfind("BUFFER_", 0) == 0) bufferSlots.insert(c.value);
  }
  EXPECT_EQ(textureSlots.size(), 25u) << "texture slots run 0 to 24 without a gap or a repeat";
  EXPECT_EQ(*textureSlots.rbegin(), 24);
  EXPECT_EQ(bufferSlots.size(), 19u);
  EXPECT_FALSE(bufferSlots.contains(7)) << "nothing is ever bound at buffer slot 7";
  EXPECT_EQ(MAX_DEPTH_CGFLOAT, 255.0);
  EXPECT_EQ(TOOL_CELL_WETNESS_MAX << TOOL_CELL_WETNESS_SHIFT, 252) << "a wetness byte stays below 255";
}

}  // namespace
