#pragma once
// A light on a node. Only omni lights (shining from the node's position in every direction) are
// used; the colour is stored for the views, which draw nothing.

#include <memory>

#include "graphics/Color.h"

namespace scene {

enum class LightType { omni };

class Light {
 public:
  static std::shared_ptr<Light> make() { return std::make_shared<Light>(); }

  LightType type() const { return type_; }
  void setType(LightType type) { type_ = type; }

  // White unless set.
  const graphics::Color& color() const { return color_; }
  void setColor(graphics::Color color) { color_ = std::move(color); }

 private:
  LightType type_ = LightType::omni;
  graphics::Color color_ = graphics::Color::white();
};

}  // namespace scene
