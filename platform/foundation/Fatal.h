#pragma once
// Fatal stops: programming faults (a missing kernel, an unsupported type, an absent required value)
// end the program with a message. Tests install a handler that throws, so they can assert it.

#include <functional>
#include <string_view>

namespace foundation {

// A handler must not return: it throws or ends the program. If it returns, the stop aborts anyway.
using FatalHandler = std::function<void(std::string_view message)>;

// Prints "Fatal error: <message>" on standard error and aborts, unless a handler is installed.
[[noreturn]] void fatalError(std::string_view message);

// Installs a handler and returns the one it replaces; an empty handler restores the abort.
FatalHandler setFatalHandler(FatalHandler handler);

}  // namespace foundation
