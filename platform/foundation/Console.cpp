#include "Console.h"

#include <cstdio>
#include <string>

namespace foundation {
namespace {

ConsoleSink& currentSink() {
  static ConsoleSink sink;
  return sink;
}

}  // namespace

void consoleLine(std::string_view line) {
  if (const auto& sink = currentSink()) {
    sink(line);
    return;
  }
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

ConsoleSink setConsoleSink(ConsoleSink sink) {
  ConsoleSink previous = std::move(currentSink());
  currentSink() = std::move(sink);
  return previous;
}

}  // namespace foundation
