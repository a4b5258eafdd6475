#pragma once
// Geometries: what a node shows. A custom geometry is built from sources (per-vertex data) and
// elements (primitives over vertex indices); the built-in shapes carry only their sizes, since
// nothing is drawn. Every geometry starts with one default material (white diffuse).

#include <memory>
#include <vector>

#include "scene/GeometryElement.h"
#include "scene/GeometrySource.h"
#include "scene/Material.h"

namespace scene {

class Geometry {
 public:
  // A custom geometry. Fatal stops: a null source or element, sources that disagree on the
  // number of vertices, or an element index at or past the vertex count.
  static std::shared_ptr<Geometry> make(std::vector<std::shared_ptr<GeometrySource>> sources,
                                        std::vector<std::shared_ptr<GeometryElement>> elements);
  virtual ~Geometry() = default;

  const std::vector<std::shared_ptr<Material>>& materials() const { return materials_; }
  // Replaces the whole list (a fatal stop for a null entry); the list may be empty.
  void setMaterials(std::vector<std::shared_ptr<Material>> materials);
  // The first material; null when the list is empty.
  std::shared_ptr<Material> firstMaterial() const;

  const std::vector<std::shared_ptr<GeometrySource>>& sources() const { return sources_; }
  // The sources of one semantic, in order.
  std::vector<std::shared_ptr<GeometrySource>> sources(GeometrySemantic semantic) const;
  const std::vector<std::shared_ptr<GeometryElement>>& elements() const { return elements_; }
  // The vertex count the sources share (0 without sources).
  std::size_t vertexCount() const;

 protected:
  Geometry();

 private:
  std::vector<std::shared_ptr<Material>> materials_;
  std::vector<std::shared_ptr<GeometrySource>> sources_;
  std::vector<std::shared_ptr<GeometryElement>> elements_;
};

// A cylinder along its own y axis, centred on the origin.
class Cylinder : public Geometry {
 public:
  // A fatal stop for a negative or NaN size.
  static std::shared_ptr<Cylinder> make(float radius, float height);
  float radius() const { return radius_; }
  float height() const { return height_; }

 private:
  Cylinder(float radius, float height) : radius_(radius), height_(height) {}
  float radius_, height_;
};

// A sphere centred on the origin.
class Sphere : public Geometry {
 public:
  // A fatal stop for a negative or NaN radius.
  static std::shared_ptr<Sphere> make(float radius);
  float radius() const { return radius_; }

 private:
  explicit Sphere(float radius) : radius_(radius) {}
  float radius_;
};

}  // namespace scene
