#pragma once
// Captures console lines for the lifetime of the object.

#include <string>
#include <string_view>
#include <vector>

#include "foundation/Console.h"

namespace testsupport {

class ConsoleCapture {
 public:
  ConsoleCapture();
  ~ConsoleCapture();
  ConsoleCapture(const ConsoleCapture&) = delete;
  ConsoleCapture& operator=(const ConsoleCapture&) = delete;

  const std::vector<std::string>& lines() const { return lines_; }
  void clear() { lines_.clear(); }
  // Lines that begin with `prefix`.
  std::vector<std::string> linesStartingWith(std::string_view prefix) const;

 private:
  std::vector<std::string> lines_;
  foundation::ConsoleSink previous_;
};

}  // namespace testsupport
