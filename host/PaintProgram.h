#pragma once
// The program tessivarium-paint: reads the command line and the script, checks every input before
// the engine starts, plays the steps and writes each save point's files.
//
// Exit statuses: 0 done; 1 the engine failed during a step (the files of earlier save points stay);
// 2 bad input (the command line, the script, a pen file, an image or the storage file to load),
// refused before anything is written.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace painthost {

// `args` without the program's name; `out` takes the save points' lines (and with --verbose the
// engine's console lines), `err` the messages and the progress bar (drawn only when
// `errIsTerminal`). The texture memory is sized from `machineMemory` bytes, by default the
// machine's own.
int runPaint(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool errIsTerminal = false,
             std::optional<std::uint64_t> machineMemory = std::nullopt);

}  // namespace painthost
