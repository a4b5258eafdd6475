#pragma once
// The interface between the system and its GPU kernels: the argument slots at which a kernel
// finds each texture and buffer, the channels of a grid texel, the kinds of a tool-head cell and
// the byte scales. The kernel library includes this header too, so both sides read one table.

#include <cstdint>

namespace tessivarium {

// Texture argument slots (0 to 24, no gap).
inline constexpr std::int64_t TEXTURE_GRID_READ = 0;
inline constexpr std::int64_t TEXTURE_GRID_WRITE = 1;
inline constexpr std::int64_t TEXTURE_COPY_FROM = 2;
inline constexpr std::int64_t TEXTURE_COPY_TO = 3;
inline constexpr std::int64_t TEXTURE_RESET = 4;
inline constexpr std::int64_t TEXTURE_HEIGHT_IMAGE_READ = 5;
inline constexpr std::int64_t TEXTURE_HEIGHT_IMAGE_WRITE = 6;
inline constexpr std::int64_t TEXTURE_COLOR_IMAGE_READ = 7;
inline constexpr std::int64_t TEXTURE_COLOR_IMAGE_WRITE = 8;
inline constexpr std::int64_t TEXTURE_TOOL_READ = 9;
inline constexpr std::int64_t TEXTURE_TOOL_WRITE = 10;
inline constexpr std::int64_t TEXTURE_GROUND = 11;
inline constexpr std::int64_t TEXTURE_DRY_READ = 12;
inline constexpr std::int64_t TEXTURE_DRY_WRITE = 13;
inline constexpr std::int64_t TEXTURE_STROKE_READ = 14;   // reserved for the kernels
inline constexpr std::int64_t TEXTURE_STROKE_WRITE = 15;  // reserved for the kernels
inline constexpr std::int64_t TEXTURE_WET_READ = 16;
inline constexpr std::int64_t TEXTURE_WET_WRITE = 17;
inline constexpr std::int64_t TEXTURE_MAP_READ = 18;
inline constexpr std::int64_t TEXTURE_MAP_WRITE = 19;
inline constexpr std::int64_t TEXTURE_GRID_ORIGINAL_READ = 20;  // reserved for the kernels
inline constexpr std::int64_t TEXTURE_GRID_ORIGINAL_WRITE = 21;
inline constexpr std::int64_t TEXTURE_GRID_MERGE_READ = 22;  // reserved for the kernels
inline constexpr std::int64_t TEXTURE_WET_MERGE_READ = 23;   // reserved for the kernels
inline constexpr std::int64_t TEXTURE_MASK_IMAGE = 24;

// Buffer argument slots (0 to 19). Slot 7 has no constant: nothing is ever bound there.
inline constexpr std::int64_t BUFFER_OFFSET = 0;      // uint32 x, y, z + 4 bytes padding
inline constexpr std::int64_t BUFFER_DT = 1;
inline constexpr std::int64_t BUFFER_SCALE = 2;       // one float
inline constexpr std::int64_t BUFFER_VALUE = 3;       // floats
inline constexpr std::int64_t BUFFER_POSITION = 4;    // x, y, z float triples
inline constexpr std::int64_t BUFFER_FORCE = 5;
inline constexpr std::int64_t BUFFER_COLOR = 6;       // four floats r, g, b, a
inline constexpr std::int64_t BUFFER_POSITION_NUMBER = 8;
inline constexpr std::int64_t BUFFER_ALTITUDE = 9;
inline constexpr std::int64_t BUFFER_AZIMUTH = 10;
inline constexpr std::int64_t BUFFER_SHOW_GROUND = 11;  // one byte, a Boolean
inline constexpr std::int64_t BUFFER_DAE_DESCRIPTOR = 12;
inline constexpr std::int64_t BUFFER_PENCIL_STATE = 13;
inline constexpr std::int64_t BUFFER_BRISTLES = 14;
inline constexpr std::int64_t BUFFER_USE_DRY = 15;     // one byte, a Boolean
inline constexpr std::int64_t BUFFER_LAST_LAYER = 16;  // one byte, a Boolean
inline constexpr std::int64_t BUFFER_WETNESS = 17;
inline constexpr std::int64_t BUFFER_THICKNESS = 18;
inline constexpr std::int64_t BUFFER_DRAWING_MODE = 19;

// Channels of a grid texel (RGBA8). Channel 2 (blue) is the kernels' own.
inline constexpr std::int64_t GRID_WETNESS = 0;
inline constexpr std::int64_t GRID_DRY_WETNESS = 1;
inline constexpr std::int64_t GRID_TYPE = 3;

// Kinds of cell, stored in the GRID_TYPE byte.
inline constexpr std::uint8_t TOOL_AIR = 0;
inline constexpr std::uint8_t TOOL_SOLID = 1;
inline constexpr std::uint8_t TOOL_FLUID = 2;

// A wetness level (0 to 63) is stored shifted left by 2, so a wetness byte is at most 252.
inline constexpr std::int64_t TOOL_CELL_WETNESS_SHIFT = 2;
inline constexpr std::int64_t TOOL_CELL_WETNESS_MAX = 63;
// Full scale of a byte-stored value (thickness, wetness).
inline constexpr std::int64_t MAX_DEPTH = 255;
inline constexpr double MAX_DEPTH_CGFLOAT = static_cast<double>(MAX_DEPTH);

}  // namespace tessivarium
