#pragma once
// Every kind of tool the system knows. The raw value is the case's position; it reaches the
// kernels inside the tool-model descriptor and the host in recorded strokes, so it never changes.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tessivarium {

enum class ToolType : std::int64_t {
  tube, sprayer,
  smallRoundBrush, roundBrush, bigRoundBrush,
  smallFanBrush, fanBrush, bigFanBrush,
  smallFilbertBrush, filbertBrush, bigFilbertBrush,
  smallFlatBrush, flatBrush, bigFlatBrush,
  fluffyMop, turpentine,
  knife1, knife2, knife3, knife4, knife5, knife6,
  smallWideBrush, wideBrush, bigWideBrush, extraWideBrush,
  dryer, wetter,
  colorPickUp, cleanTool, saveToolPattern, enableAutoReset, enableAutoClean, resetTool,
  towel, pencil, pastel, roller, chineseBrush, sander, eraser,
};

inline constexpr std::int64_t ToolTypeCount = 41;

constexpr std::int64_t rawValue(ToolType type) { return static_cast<std::int64_t>(type); }

// The case whose raw value is `raw`, or nothing outside 0 to 40.
constexpr std::optional<ToolType> toolTypeFromRawValue(std::int64_t raw) {
  if (raw < 0 || raw >= ToolTypeCount) return std::nullopt;
  return static_cast<ToolType>(raw);
}

// The case's name ("filbertBrush").
const char* describe(ToolType type);

constexpr bool isKnife(ToolType t) { return t >= ToolType::knife1 && t <= ToolType::knife6; }
constexpr bool isFlatBrush(ToolType t) {
  return t >= ToolType::smallFlatBrush && t <= ToolType::bigFlatBrush;
}
constexpr bool isFilbertBrush(ToolType t) {
  return t >= ToolType::smallFilbertBrush && t <= ToolType::bigFilbertBrush;
}
constexpr bool isWideBrush(ToolType t) {
  return t >= ToolType::smallWideBrush && t <= ToolType::extraWideBrush;
}
constexpr bool isFanBrush(ToolType t) { return t >= ToolType::smallFanBrush && t <= ToolType::bigFanBrush; }
// The flat, filbert, wide and fan families; the round brushes are not brushes here.
constexpr bool isBrush(ToolType t) {
  return isFlatBrush(t) || isFilbertBrush(t) || isWideBrush(t) || isFanBrush(t);
}

}  // namespace tessivarium
