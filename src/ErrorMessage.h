#pragma once
// The conditions a user can cause. They are reported to the host through the settings object, and
// they are what the system's throwing operations throw (wrapped in tessivarium::Error).

#include <exception>

namespace tessivarium {

enum class ErrorMessage {
  OK,
  NoColorSelected,
  CannotFillColor,
  TextureFormatIncompatible,
  ToolPatternNotNeed,
  NoMoreHeap,
};

// The name of the case, as the host sees it.
const char* describe(ErrorMessage message);

// The exception of every throwing operation of the system.
class Error : public std::exception {
 public:
  explicit Error(ErrorMessage message) : message_(message) {}
  ErrorMessage message() const { return message_; }
  const char* what() const noexcept override { return describe(message_); }

 private:
  ErrorMessage message_;
};

}  // namespace tessivarium
