#include "Fatal.h"

#include <cstdlib>
#include <string>

#include "Console.h"

namespace foundation {
namespace {

FatalHandler& currentHandler() {
  static FatalHandler handler;
  return handler;
}

}  // namespace

void fatalError(std::string_view message) {
  if (const auto& handler = currentHandler()) {
    handler(message);
  }
  consoleLine("Fatal error: " + std::string(message));
  std::abort();
}

FatalHandler setFatalHandler(FatalHandler handler) {
  FatalHandler previous = std::move(currentHandler());
  currentHandler() = std::move(handler);
  return previous;
}

}  // namespace foundation
