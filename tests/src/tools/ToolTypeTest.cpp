#include "tools/ToolType.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace tessivarium;

// The raw values reach the kernels and stored strokes, so order and names are fixed.
TEST(ToolType, RawValuesFollowTheCaseOrder) {
  const char* names[] = {
      "tube", "sprayer", "smallRoundBrush", "roundBrush", "bigRoundBrush", "smallFanBrush",
      "fanBrush", "bigFanBrush", "smallFilbertBrush", "filbertBrush", "bigFilbertBrush",
      "smallFlatBrush", "flatBrush", "bigFlatBrush", "fluffyMop", "turpentine", "knife1", "knife2",
      "knife3", "knife4", "knife5", "knife6", "smallWideBrush", "wideBrush", "bigWideBrush",
      "extraWideBrush", "dryer", "wetter", "colorPickUp", "cleanTool", "saveToolPattern",
      "enableAutoReset", "enableAutoClean", "resetTool", "towel", "pencil", "pastel", "roller",
      "chineseBrush", "sander", "eraser"};
  ASSERT_EQ(std::size(names), static_cast<std::size_t>(ToolTypeCount));
  for (std::int64_t raw = 0; raw < ToolTypeCount; ++raw) {
    const auto type = toolTypeFromRawValue(raw);
    ASSERT_TRUE(type);
    EXPECT_EQ(rawValue(*type), raw);
    EXPECT_EQ(std::string(describe(*type)), names[raw]);
    EXPECT_EQ(std::hash<ToolType>{}(*type), static_cast<std::size_t>(raw));
  }
  EXPECT_EQ(toolTypeFromRawValue(0), ToolType::tube);
  EXPECT_EQ(toolTypeFromRawValue(40), ToolType::eraser);
  EXPECT_FALSE(toolTypeFromRawValue(41));
  EXPECT_FALSE(toolTypeFromRawValue(-1));
}

TEST(ToolType, FamilyPredicates) {
  int knives = 0, brushes = 0, flat = 0, filbert = 0, wide = 0, fan = 0;
  for (std::int64_t raw = 0; raw < ToolTypeCount; ++raw) {
    const auto t = *toolTypeFromRawValue(raw);
    knives += isKnife(t);
    brushes += isBrush(t);
    flat += isFlatBrush(t);
    filbert += isFilbertBrush(t);
    wide += isWideBrush(t);
    fan += isFanBrush(t);
    EXPECT_EQ(isBrush(t), isFlatBrush(t) || isFilbertBrush(t) || isWideBrush(t) || isFanBrush(t));
    EXPECT_FALSE(isKnife(t) && isBrush(t));
  }
  EXPECT_EQ(knives, 6);
  EXPECT_EQ(brushes, 13);
  EXPECT_EQ(flat, 3);
  EXPECT_EQ(filbert, 3);
  EXPECT_EQ(wide, 4);
  EXPECT_EQ(fan, 3);

  for (auto round : {ToolType::smallRoundBrush, ToolType::roundBrush, ToolType::bigRoundBrush}) {
    EXPECT_FALSE(isBrush(round) || isKnife(round) || isFlatBrush(round) || isFilbertBrush(round) ||
                 isWideBrush(round) || isFanBrush(round));
  }
  EXPECT_TRUE(isWideBrush(ToolType::extraWideBrush) && isBrush(ToolType::extraWideBrush));
  EXPECT_TRUE(isKnife(ToolType::knife3) && !isBrush(ToolType::knife3));
}

}  // namespace
