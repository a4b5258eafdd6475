#include <gtest/gtest.h>

#include "graphics/Color.h"

namespace {

using graphics::Color;
using graphics::ColorSpace;

struct ColorCase {
  const char* name;
  Color color;
  std::vector<double> components;
};

class ColorComponents : public ::testing::TestWithParam<ColorCase> {};

TEST_P(ColorComponents, GreysHaveTwoAndRGBColoursFour) {
  const ColorCase& c = GetParam();
  EXPECT_EQ(c.color.componentCount(), c.components.size());
  EXPECT_EQ(c.color.components(), c.components);
}

INSTANTIATE_TEST_SUITE_P(
    Named, ColorComponents,
    ::testing::Values(ColorCase{"white", Color::white(), {1.0, 1.0}},
                      ColorCase{"grey", Color::grey(), {0.5, 1.0}},
                      ColorCase{"darkGrey", Color::darkGrey(), {1.0 / 3.0, 1.0}},
                      ColorCase{"clear", Color::clear(), {0.0, 0.0}},
                      ColorCase{"whiteWithAlpha", Color::fromWhite(1.0, 0.0), {1.0, 0.0}},
                      ColorCase{"rgb", Color::fromRGBA(0.2, 0.4, 0.6, 0.8), {0.2, 0.4, 0.6, 0.8}},
                      ColorCase{"threeComponents", Color::inOtherSpace(std::vector{0.1, 0.2, 0.3}),
                                {0.1, 0.2, 0.3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Color, APatternColourHasNoComponentList) {
  const Color pattern = Color::inOtherSpace(std::nullopt);
  EXPECT_FALSE(pattern.hasComponents());
  EXPECT_FALSE(pattern.componentCount());
  EXPECT_TRUE(pattern.components().empty());
  EXPECT_FALSE(pattern.rgba());
}

TEST(Color, WithAlphaKeepsTheSpaceAndTheColour) {
  const Color red = Color::fromRGBA(1, 0, 0, 1).withAlpha(0.25);
  EXPECT_EQ(red, Color::fromRGBA(1, 0, 0, 0.25));
  const Color grey = Color::grey().withAlpha(0.5);
  EXPECT_EQ(grey.space(), ColorSpace::DeviceGray);
  EXPECT_EQ(grey.components(), (std::vector{0.5, 0.5}));
  EXPECT_EQ(grey.alpha(), 0.5);
}

TEST(Color, RGBASpreadsGrey) {
  EXPECT_EQ(Color::fromWhite(0.5, 0.75).rgba(), (std::array{0.5, 0.5, 0.5, 0.75}));
  EXPECT_EQ(Color::fromRGBA(0.1, 0.2, 0.3, 0.4).rgba(), (std::array{0.1, 0.2, 0.3, 0.4}));
  EXPECT_NE(Color::white(), Color::fromRGBA(1, 1, 1, 1));
}

}  // namespace
