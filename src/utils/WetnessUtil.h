#pragma once
// The wetness of a paint colour, carried in its alpha: level = trunc(wetness x 63), stored as
// level << 2 (0 to 252), alpha = stored / 255.

#include <cstdint>
#include <optional>

#include "graphics/Color.h"

namespace tessivarium {

class WetnessUtil {
 public:
  WetnessUtil() = delete;

  // Without a wetness, the colour itself. Otherwise the colour's red, green and blue (grey spread)
  // with the wetness as its alpha; the colour's own alpha is dropped. A colour of another component
  // count than 1 to 4 stops with "UIColor with components[n] is not supported."; one without
  // components, and a wetness whose level has no integer value (NaN, infinite, out of range), stop
  // too.
  static graphics::Color toWetnessColor(const graphics::Color& color, std::optional<float> wetness);

  // A stored wetness byte brought to the wetness scale: ((trunc(byte / 255 x 63)) << 2) / 255.
  static double wetnessNormalized(std::uint8_t wetness);
};

}  // namespace tessivarium
