#include "ErrorMessage.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tessivarium::Error;
using tessivarium::ErrorMessage;

TEST(ErrorMessage, CasesKeepTheirPositionsAndTravelInsideError) {
  const std::pair<ErrorMessage, const char*> cases[] = {
      {ErrorMessage::OK, "OK"},
      {ErrorMessage::NoColorSelected, "NoColorSelected"},
      {ErrorMessage::CannotFillColor, "CannotFillColor"},
      {ErrorMessage::TextureFormatIncompatible, "TextureFormatIncompatible"},
      {ErrorMessage::ToolPatternNotNeed, "ToolPatternNotNeed"},
      {ErrorMessage::NoMoreHeap, "NoMoreHeap"},
  };
  int position = 0;
  for (const auto& [message, name] : cases) {
    EXPECT_EQ(static_cast<int>(message), position++);
    try {
      throw Error(message);
    } catch (const Error& error) {
      EXPECT_EQ(error.message(), message);
      EXPECT_EQ(std::string(error.what()), name);
    }
  }
}

}  // namespace
