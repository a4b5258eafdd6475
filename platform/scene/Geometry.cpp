#include "scene/Geometry.h"

#include <cmath>
#include <string>

#include "foundation/Fatal.h"

namespace scene {

namespace {

void checkSize(float size, const char* what) {
  if (std::isnan(size) || size < 0) {
    foundation::fatalError(std::string(what) + " must be a number of 0 or more");
  }
}

}  // namespace

Geometry::Geometry() : materials_{Material::make()} {}

std::shared_ptr<Geometry> Geometry::make(std::vector<std::shared_ptr<GeometrySource>> sources,
                                         std::vector<std::shared_ptr<GeometryElement>> elements) {
  for (const auto& source : sources) {
    if (!source) foundation::fatalError("geometry: a null source");
    if (source->vectorCount() != sources.front()->vectorCount()) {
      foundation::fatalError("geometry: sources of " + std::to_string(sources.front()->vectorCount()) +
                             " and " + std::to_string(source->vectorCount()) + " vertices");
    }
  }
  const std::size_t vertexCount = sources.empty() ? 0 : sources.front()->vectorCount();
  for (const auto& element : elements) {
    if (!element) foundation::fatalError("geometry: a null element");
    for (std::size_t i = 0; i < element->indexCount(); ++i) {
      const std::uint32_t index = element->indexAt(i);
      if (index >= vertexCount) {
        foundation::fatalError("geometry: element index " + std::to_string(index) +
                               " is not below the vertex count " + std::to_string(vertexCount));
      }
    }
  }
  std::shared_ptr<Geometry> geometry(new Geometry);
  geometry->sources_ = std::move(sources);
  geometry->elements_ = std::move(elements);
  return geometry;
}

void Geometry::setMaterials(std::vector<std::shared_ptr<Material>> materials) {
  for (const auto& material : materials) {
    if (!material) foundation::fatalError("geometry: a null material");
  }
  materials_ = std::move(materials);
}

std::shared_ptr<Material> Geometry::firstMaterial() const {
  return materials_.empty() ? nullptr : materials_.front();
}

std::vector<std::shared_ptr<GeometrySource>> Geometry::sources(GeometrySemantic semantic) const {
  std::vector<std::shared_ptr<GeometrySource>> matching;
  for (const auto& source : sources_) {
    if (source->semantic() == semantic) matching.push_back(source);
  }
  return matching;
}

std::size_t Geometry::vertexCount() const {
  return sources_.empty() ? 0 : sources_.front()->vectorCount();
}

std::shared_ptr<Cylinder> Cylinder::make(float radius, float height) {
  checkSize(radius, "cylinder radius");
  checkSize(height, "cylinder height");
  return std::shared_ptr<Cylinder>(new Cylinder(radius, height));
}

std::shared_ptr<Sphere> Sphere::make(float radius) {
  checkSize(radius, "sphere radius");
  return std::shared_ptr<Sphere>(new Sphere(radius));
}

}  // namespace scene
