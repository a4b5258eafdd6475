#include "Printable.h"

#include <array>
#include <cstdio>

namespace painthost {
namespace {

bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The length of the UTF-8 character that `text` starts with, and its code in `code`; 0 when it
// starts with none (a stray continuation byte, an overlong form, a surrogate, a code beyond U+10FFFF
// or a character cut short).
std::size_t characterLength(std::string_view text, char32_t& code) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 1;
  char32_t least = 0;
  if (lead < 0x80) {
    code = lead;
    return 1;
  }
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, least = 0x80, code = lead & 0x1Fu;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, least = 0x800, code = lead & 0x0Fu;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, least = 0x10000, code = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() < length) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if (!isContinuation(text[i])) return 0;
    code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

bool isControl(char32_t code) { return code < 0x20 || (code >= 0x7F && code <= 0x9F); }

std::string hex(const char* format, unsigned value) {
  std::array<char, 8> text{};
  const int length = std::snprintf(text.data(), text.size(), format, value);
  return std::string(text.data(), static_cast<std::size_t>(length));
}

}  // namespace

std::string printable(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const std::size_t length = characterLength(text.substr(i), code);
    if (length == 0) {
      shown += hex("\\x%02x", static_cast<unsigned char>(text[i]));
      i += 1;
      continue;
    }
    if (code == '\n') {
      shown += "\\n";
    } else if (code == '\t') {
      shown += "\\t";
    } else if (code == '\r') {
      shown += "\\r";
    } else if (isControl(code)) {
      shown += hex("\\u%04x", static_cast<unsigned>(code));
    } else {
      shown += text.substr(i, length);
    }
    i += length;
  }
  return shown;
}

bool holdsControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    char32_t code = 0;
    const std::size_t length = characterLength(text.substr(i), code);
    if (length > 0 && isControl(code)) return true;
    i += length > 0 ? length : 1;
  }
  return false;
}

std::string_view firstBytes(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  // A UTF-8 character has at most three bytes after its first.
  std::size_t end = bytes;
  for (int back = 0; back < 3 && end > 0 && isContinuation(text[end]); ++back) --end;
  return text.substr(0, end);
}

}  // namespace painthost
