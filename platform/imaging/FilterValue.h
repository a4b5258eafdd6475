#pragma once
// The values a filter's inputs take, and the input keys of the built-in filters.

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "graphics/Color.h"

namespace imaging {

class Image;

// No value, an image, a number or a colour.
using FilterValue =
    std::variant<std::monostate, std::shared_ptr<const Image>, double, graphics::Color>;

// Inputs handed to a filter together, key and value.
using FilterInputs = std::vector<std::pair<std::string, FilterValue>>;

// Input keys.
inline constexpr std::string_view kInputImageKey = "inputImage";
inline constexpr std::string_view kInputBackgroundImageKey = "inputBackgroundImage";
inline constexpr std::string_view kInputShadingImageKey = "inputShadingImage";
inline constexpr std::string_view kInputScaleKey = "inputScale";
inline constexpr std::string_view kInputColorKey = "inputColor";

}  // namespace imaging
