#include "ConsoleCapture.h"

namespace testsupport {

ConsoleCapture::ConsoleCapture() {
  previous_ = foundation::setConsoleSink([this](std::string_view line) { lines_.emplace_back(line); });
}

ConsoleCapture::~ConsoleCapture() { foundation::setConsoleSink(std::move(previous_)); }

std::vector<std::string> ConsoleCapture::linesStartingWith(std::string_view prefix) const {
  std::vector<std::string> found;
  for (const auto& line : lines_) {
    if (std::string_view(line).substr(0, prefix.size()) == prefix) found.push_back(line);
  }
  return found;
}

}  // namespace testsupport
