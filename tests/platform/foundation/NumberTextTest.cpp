#include "foundation/NumberText.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>

namespace {

struct DoubleCase {
  double value;
  const char* text;
};

TEST(NumberText, DoublesPrintInShortestRoundTripForm) {
  const DoubleCase cases[] = {
      {0.0, "0.0"},          {-0.0, "-0.0"},          {50.0, "50.0"},
      {1.0, "1.0"},          {-3.0, "-3.0"},          {0.5, "0.5"},
      {0.1, "0.1"},          {5.12, "5.12"},          {0.000123, "0.000123"},
      {0.0001, "0.0001"},    {1.2e-05, "1.2e-05"},    {1e-05, "1e-05"},
      {1e16, "1e+16"},       {9999999999999998.0, "9999999999999998.0"},
      {1.5e300, "1.5e+300"}, {-2.5e-7, "-2.5e-07"},   {123456.789, "123456.789"},
      {1.0 / 3.0, "0.3333333333333333"},
  };
  for (const auto& c : cases) EXPECT_EQ(foundation::describe(c.value), c.text) << c.text;
}

TEST(NumberText, FloatsUseTheirOwnShortestDigits) {
  EXPECT_EQ(foundation::describe(15.000001f), "15.000001");
  EXPECT_EQ(foundation::describe(0.1f), "0.1");
  EXPECT_EQ(foundation::describe(3.0f), "3.0");
  EXPECT_EQ(foundation::describe(1.2e-05f), "1.2e-05");
}

TEST(NumberText, SpecialValues) {
  EXPECT_EQ(foundation::describe(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(foundation::describe(-std::numeric_limits<double>::infinity()), "-inf");
  EXPECT_EQ(foundation::describe(std::numeric_limits<double>::quiet_NaN()), "nan");
}

TEST(NumberText, IntegersAndOptionals) {
  EXPECT_EQ(foundation::describe(42), "42");
  EXPECT_EQ(foundation::describe(std::int64_t{-7}), "-7");
  EXPECT_EQ(foundation::describe(std::optional<int>(3)), "Optional(3)");
  EXPECT_EQ(foundation::describe(std::optional<int>()), "nil");
  EXPECT_EQ(foundation::describe(std::optional<double>(2.0)), "Optional(2.0)");
}

}  // namespace
