#pragma once
// The console: every line the system prints goes through one sink, standard output by default.
// Used from the main thread and from command-buffer completion handlers; the sink is swapped only
// by the host at start-up or by tests, so no lock guards it.

#include <functional>
#include <string_view>

namespace foundation {

using ConsoleSink = std::function<void(std::string_view line)>;

// Prints one line (the sink adds the line break).
void consoleLine(std::string_view line);

// Installs a sink and returns the one it replaces; an empty sink restores standard output.
ConsoleSink setConsoleSink(ConsoleSink sink);

}  // namespace foundation
