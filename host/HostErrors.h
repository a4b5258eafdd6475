#pragma once
// The two ways a run of the painter stops early. Bad input (a script, a pen file, an image or a
// storage file that cannot be used) is found before anything is painted or written; an engine
// failure happens while a step is played, after earlier save points may have been written.

#include <stdexcept>
#include <string_view>

#include "Printable.h"

namespace painthost {

// Both keep their message printable: what it quotes of the input (a name with a line break, a
// file name with a NUL) cannot break it over lines, send the terminal a control sequence or cut it.

// Refused input: the message names the script position (steps[3].samples[2].force) or the file,
// and the reason. Exit status 2.
class BadInput : public std::runtime_error {
 public:
  explicit BadInput(std::string_view message) : std::runtime_error(printable(message)) {}
};

// The engine stopped or reported an error while a step was played. Exit status 1.
class EngineFailure : public std::runtime_error {
 public:
  explicit EngineFailure(std::string_view message) : std::runtime_error(printable(message)) {}
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitEngineFailure = 1;
inline constexpr int kExitBadInput = 2;

}  // namespace painthost
