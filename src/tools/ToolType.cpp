#include "ToolType.h"

namespace tessivarium {

const char* describe(ToolType type) {
  static constexpr const char* names[ToolTypeCount] = {
      "tube", "sprayer",
      "smallRoundBrush", "roundBrush", "bigRoundBrush",
      "smallFanBrush", "fanBrush", "bigFanBrush",
      "smallFilbertBrush", "filbertBrush", "bigFilbertBrush",
      "smallFlatBrush", "flatBrush", "bigFlatBrush",
      "fluffyMop", "turpentine",
      "knife1", "knife2", "knife3", "knife4", "knife5", "knife6",
      "smallWideBrush", "wideBrush", "bigWideBrush", "extraWideBrush",
      "dryer", "wetter",
      "colorPickUp", "cleanTool", "saveToolPattern", "enableAutoReset", "enableAutoClean", "resetTool",
      "towel", "pencil", "pastel", "roller", "chineseBrush", "sander", "eraser"};
  const auto raw = rawValue(type);
  return raw >= 0 && raw < ToolTypeCount ? names[raw] : "unknown";
}

}  // namespace tessivarium
