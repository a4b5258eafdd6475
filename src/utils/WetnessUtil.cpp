#include "utils/WetnessUtil.h"

#include <cmath>
#include <string>

#include "foundation/Fatal.h"
#include "foundation/NumberText.h"
#include "utils/KernelInterface.h"

namespace tessivarium {
namespace {

// 2^63: the first value beyond a signed 64-bit integer.
constexpr double kInt64Bound = 9223372036854775808.0;

}  // namespace

graphics::Color WetnessUtil::toWetnessColor(const graphics::Color& color, std::optional<float> wetness) {
  if (!wetness) return color;
  // Checked before the conversion: an out-of-range float-to-integer conversion is undefined.
  const double scaled =
      std::trunc(static_cast<double>(*wetness * static_cast<float>(TOOL_CELL_WETNESS_MAX)));
  if (!std::isfinite(scaled) || scaled >= kInt64Bound || scaled < -kInt64Bound) {
    foundation::fatalError("toWetnessColor: the wetness " + foundation::describe(*wetness) +
                           " has no wetness level");
  }
  const auto level = static_cast<std::int64_t>(scaled);
  const std::int64_t stored = level << TOOL_CELL_WETNESS_SHIFT;
  const double alpha = static_cast<double>(stored) / MAX_DEPTH_CGFLOAT;

  const auto count = color.componentCount();
  if (!count) foundation::fatalError("toWetnessColor: the colour has no components");
  const auto& c = color.components();
  if (*count == 1 || *count == 2) return graphics::Color::fromRGBA(c[0], c[0], c[0], alpha);
  if (*count == 3 || *count == 4) return graphics::Color::fromRGBA(c[0], c[1], c[2], alpha);
  foundation::fatalError("UIColor with components[" + std::to_string(*count) + "] is not supported.");
}

double WetnessUtil::wetnessNormalized(std::uint8_t wetness) {
  const auto level = static_cast<std::int64_t>(static_cast<double>(wetness) / MAX_DEPTH_CGFLOAT *
                                               static_cast<double>(TOOL_CELL_WETNESS_MAX));
  return static_cast<double>(level << TOOL_CELL_WETNESS_SHIFT) / MAX_DEPTH_CGFLOAT;
}

}  // namespace tessivarium
