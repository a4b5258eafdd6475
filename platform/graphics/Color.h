#pragma once
// Colours with the component lists the system reads: a colour in the device grey space has two
// components (white, alpha), one in device RGB four (red, green, blue, alpha). Components are
// doubles, normally 0 to 1, stored as given (not clamped).
//
// Colours of other spaces can be made with any component list, or none at all (as a pattern
// colour has none), so that code which only handles grey and RGB can be given the others.

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

namespace graphics {

enum class ColorSpace {
  DeviceGray,
  DeviceRGB,
  Other,  // a space this kit does not model: the colour carries whatever list it was given
};

class Color {
 public:
  // Device grey, two components.
  static Color fromWhite(double white, double alpha);
  // Device RGB, four components.
  static Color fromRGBA(double red, double green, double blue, double alpha);
  // A colour of another space with the given components; absent means no component list.
  static Color inOtherSpace(std::optional<std::vector<double>> components);

  // The platform's named colours, all in device grey.
  static Color white() { return fromWhite(1.0, 1.0); }
  static Color grey() { return fromWhite(0.5, 1.0); }
  static Color darkGrey() { return fromWhite(1.0 / 3.0, 1.0); }
  static Color clear() { return fromWhite(0.0, 0.0); }

  ColorSpace space() const { return space_; }
  bool hasComponents() const { return components_.has_value(); }
  // The number of components; absent when the colour has no component list.
  std::optional<std::size_t> componentCount() const;
  // The component list (empty when there is none).
  const std::vector<double>& components() const;
  // The last component of a grey or RGB colour (1.0 for other spaces).
  double alpha() const;
  // The same colour with another alpha; other spaces come back unchanged.
  Color withAlpha(double alpha) const;
  // Red, green, blue and alpha: grey spread to red, green and blue. Absent for other spaces.
  std::optional<std::array<double, 4>> rgba() const;

  friend bool operator==(const Color&, const Color&) = default;

 private:
  Color(ColorSpace space, std::optional<std::vector<double>> components)
      : space_(space), components_(std::move(components)) {}
  ColorSpace space_;
  std::optional<std::vector<double>> components_;
};

}  // namespace graphics
