#include "NumberText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace foundation {
namespace {

// Lays out the shortest round-trip digits of `value` the platform's way. The text is built by
// appending to one string (GCC 12 warns, wrongly, about temporaries joined with +).
template <typename F>
std::string describeFloating(F value) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  if (value == 0) return std::signbit(value) ? "-0.0" : "0.0";

  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
  const auto e = text.find('e');
  const bool negative = text.front() == '-';
  std::string digits;
  for (char c : text.substr(0, e)) {
    if (c >= '0' && c <= '9') digits += c;
  }
  const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

  std::string out = negative ? "-" : "";
  if (exponent < -4 || exponent >= 16) {
    out += digits[0];
    if (digits.size() > 1) {
      out += '.';
      out.append(digits, 1);
    }
    const int magnitude = std::abs(exponent);
    out += exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) out += '0';
    out += std::to_string(magnitude);
    return out;
  }
  if (exponent < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const auto whole = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= whole) {
    out += digits;
    out.append(whole - digits.size(), '0');
    out += ".0";
  } else {
    out.append(digits, 0, whole);
    out += '.';
    out.append(digits, whole);
  }
  return out;
}

}  // namespace

std::string describe(double value) { return describeFloating(value); }
std::string describe(float value) { return describeFloating(value); }
std::string describe(std::int64_t value) { return std::to_string(value); }
std::string describe(std::uint64_t value) { return std::to_string(value); }

}  // namespace foundation
