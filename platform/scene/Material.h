#pragma once
// Surface materials. They are stored, not rendered: the lighting model, the diffuse and specular
// contents (a colour or an image), the shininess and whether lighting is computed per pixel.

#include <memory>
#include <variant>

#include "graphics/Color.h"
#include "graphics/Image.h"

namespace scene {

// The four shading techniques of a scene file's materials.
enum class LightingModel { blinn, phong, lambert, constant };

// What a material property shows: a colour or an image.
class MaterialProperty {
 public:
  using Contents = std::variant<graphics::Color, std::shared_ptr<graphics::Image>>;

  explicit MaterialProperty(graphics::Color color) : contents_(std::move(color)) {}

  const Contents& contents() const { return contents_; }
  void setContents(graphics::Color color) { contents_ = std::move(color); }
  // A fatal stop for no image.
  void setContents(std::shared_ptr<graphics::Image> image);

  // The colour shown, absent when the contents are an image.
  const graphics::Color* color() const { return std::get_if<graphics::Color>(&contents_); }
  // The image shown, null when the contents are a colour.
  std::shared_ptr<graphics::Image> image() const;

 private:
  Contents contents_;
};

class Material {
 public:
  static std::shared_ptr<Material> make() { return std::make_shared<Material>(); }

  LightingModel lightingModel() const { return lightingModel_; }
  void setLightingModel(LightingModel model) { lightingModel_ = model; }

  // White unless set.
  MaterialProperty& diffuse() { return diffuse_; }
  const MaterialProperty& diffuse() const { return diffuse_; }
  // Black unless set.
  MaterialProperty& specular() { return specular_; }
  const MaterialProperty& specular() const { return specular_; }

  float shininess() const { return shininess_; }
  void setShininess(float shininess) { shininess_ = shininess; }

  bool isLitPerPixel() const { return litPerPixel_; }
  void setLitPerPixel(bool litPerPixel) { litPerPixel_ = litPerPixel; }

 private:
  LightingModel lightingModel_ = LightingModel::blinn;
  MaterialProperty diffuse_{graphics::Color::white()};
  MaterialProperty specular_{graphics::Color::fromWhite(0.0, 1.0)};
  float shininess_ = 1.0f;
  bool litPerPixel_ = true;
};

}  // namespace scene
