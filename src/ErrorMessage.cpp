#include "ErrorMessage.h"

namespace tessivarium {

const char* describe(ErrorMessage message) {
  switch (message) {
    case ErrorMessage::OK: return "OK";
    case ErrorMessage::NoColorSelected: return "NoColorSelected";
    case ErrorMessage::CannotFillColor: return "CannotFillColor";
    case ErrorMessage::TextureFormatIncompatible: return "TextureFormatIncompatible";
    case ErrorMessage::ToolPatternNotNeed: return "ToolPatternNotNeed";
    case ErrorMessage::NoMoreHeap: return "NoMoreHeap";
  }
  return "unknown";
}

}  // namespace tessivarium
