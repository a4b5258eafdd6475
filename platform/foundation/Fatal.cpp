#include "Fatal.h"

#include <cstdio>
#include <cstdlib>

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
  std::fflush(stdout);
  std::fprintf(stderr, "Fatal error: %.*s\n", static_cast<int>(message.size()), message.data());
  std::abort();
}

FatalHandler setFatalHandler(FatalHandler handler) {
  FatalHandler previous = std::move(currentHandler());
  currentHandler() = std::move(handler);
  return previous;
}

}  // namespace foundation
