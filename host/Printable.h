#pragma once
// Text from the input (a script's names and values, file names, a pen file's values) as it goes into
// a message: one line of this program's own, whatever bytes the input held.

#include <cstddef>
#include <string>
#include <string_view>

namespace painthost {

// `text` with its control characters escaped as a script writes them (\n, \t, \r, \u001b; DEL and
// the C1 controls as \u007f to \u009f) and each byte that is not UTF-8 as \xff; the rest as it is.
std::string printable(std::string_view text);

// Whether `text` holds a character that printable() escapes as a control character.
bool holdsControlCharacter(std::string_view text);

// The longest start of `text` of at most `bytes` bytes that does not split a UTF-8 character.
std::string_view firstBytes(std::string_view text, std::size_t bytes);

}  // namespace painthost
