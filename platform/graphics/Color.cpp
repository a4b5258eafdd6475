#include "Color.h"

namespace graphics {

Color Color::fromWhite(double white, double alpha) {
  return Color(ColorSpace::DeviceGray, std::vector<double>{white, alpha});
}

Color Color::fromRGBA(double red, double green, double blue, double alpha) {
  return Color(ColorSpace::DeviceRGB, std::vector<double>{red, green, blue, alpha});
}

Color Color::inOtherSpace(std::optional<std::vector<double>> components) {
  return Color(ColorSpace::Other, std::move(components));
}

std::optional<std::size_t> Color::componentCount() const {
  if (!components_) return std::nullopt;
  return components_->size();
}

const std::vector<double>& Color::components() const {
  static const std::vector<double> none;
  return components_ ? *components_ : none;
}

double Color::alpha() const {
  if (space_ == ColorSpace::Other) return 1.0;
  return components_->back();
}

Color Color::withAlpha(double alpha) const {
  if (space_ == ColorSpace::Other) return *this;
  std::vector<double> components = *components_;
  components.back() = alpha;
  return Color(space_, std::move(components));
}

std::optional<std::array<double, 4>> Color::rgba() const {
  const std::vector<double>& c = components();
  switch (space_) {
    case ColorSpace::DeviceGray:
      return std::array<double, 4>{c[0], c[0], c[0], c[1]};
    case ColorSpace::DeviceRGB:
      return std::array<double, 4>{c[0], c[1], c[2], c[3]};
    case ColorSpace::Other:
      break;
  }
  return std::nullopt;
}

}  // namespace graphics
