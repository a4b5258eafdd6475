#pragma once
// Numbers as the platform prints them in console lines: the shortest text that reads back to the
// same value, ".0" on whole numbers, exponent form below 1e-4 and from 1e16 ("1.2e-05", "1e+16");
// optional values as "Optional(3)" or "nil".

#include <cstdint>
#include <optional>
#include <string>

namespace foundation {

std::string describe(double value);
std::string describe(float value);
std::string describe(std::int64_t value);
inline std::string describe(int value) { return describe(static_cast<std::int64_t>(value)); }
std::string describe(std::uint64_t value);
inline std::string describe(std::uint32_t value) {
  return describe(static_cast<std::uint64_t>(value));
}
inline std::string describe(bool value) { return value ? "true" : "false"; }

template <typename T>
std::string describe(const std::optional<T>& value) {
  return value ? "Optional(" + describe(*value) + ")" : "nil";
}

}  // namespace foundation
