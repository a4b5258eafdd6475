#include <cstdint>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "FatalStop.h"
#include "gpu/Buffer.h"
#include "gpu/Device.h"
#include "graphics/Bitmap.h"
#include "scene/Geometry.h"

namespace {

using scene::Geometry;
using scene::GeometryElement;
using scene::GeometrySemantic;
using scene::GeometrySource;
using scene::PrimitiveType;
using scene::Vector3;
using scene::Vector4;
using scene::VertexFormat;

// Each vector's floats at the start of its `stride` bytes; the gaps hold filler.
std::vector<std::uint8_t> packed(const std::vector<std::vector<float>>& vectors, std::size_t stride) {
  std::vector<std::uint8_t> bytes(vectors.size() * stride, 0xEE);
  for (std::size_t i = 0; i < vectors.size(); ++i) {
    std::memcpy(bytes.data() + i * stride, vectors[i].data(), vectors[i].size() * sizeof(float));
  }
  return bytes;
}

std::vector<std::uint8_t> indexBytes(const std::vector<std::uint32_t>& indices) {
  std::vector<std::uint8_t> bytes(indices.size() * 4);
  std::memcpy(bytes.data(), indices.data(), bytes.size());
  return bytes;
}

TEST(Geometry, CustomGeometryRoundTrip) {
  const std::vector<std::vector<float>> points = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  const std::vector<std::vector<float>> colors = {{1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}, {1, 1, 1, 0.5f}};
  auto vertices = GeometrySource::make(packed(points, 16), VertexFormat::float3,
                                       GeometrySemantic::vertex, 4, 0, 16);
  auto colorSource = GeometrySource::make(packed(colors, 16), VertexFormat::float4,
                                          GeometrySemantic::color, 4, 0, 16);
  auto element = GeometryElement::make(indexBytes({0, 1, 2, 0, 2, 3}), PrimitiveType::triangles, 2, 4);
  auto geometry = Geometry::make({vertices, colorSource}, {element});

  EXPECT_EQ(static_cast<std::uint32_t>(VertexFormat::float3), 30u);
  EXPECT_EQ(static_cast<std::uint32_t>(VertexFormat::float4), 31u);
  EXPECT_EQ(geometry->vertexCount(), 4u);
  ASSERT_EQ(geometry->sources(GeometrySemantic::vertex).size(), 1u);
  EXPECT_TRUE(geometry->sources(GeometrySemantic::normal).empty());
  const auto& v = *geometry->sources(GeometrySemantic::vertex).front();
  EXPECT_EQ(v.componentsPerVector(), 3u);
  EXPECT_EQ(v.dataStride(), 16u);
  EXPECT_EQ(v.vector3At(3), Vector3(0, 0, 1));
  EXPECT_EQ(colorSource->vector4At(3), Vector4(1, 1, 1, 0.5f));
  EXPECT_FATAL(v.vector4At(0), "geometry source: vector4At on a float3 source");
  EXPECT_FATAL(v.vector3At(4), "geometry source: vector 4 of 4 asked for");

  ASSERT_EQ(geometry->elements().size(), 1u);
  EXPECT_EQ(element->indexCount(), 6u);
  EXPECT_EQ(element->indexAt(5), 3u);
  EXPECT_EQ(element->bytesPerIndex(), 4u);

  // One default material to begin with, replaceable, and the list may be emptied.
  ASSERT_EQ(geometry->materials().size(), 1u);
  EXPECT_EQ(geometry->firstMaterial(), geometry->materials().front());
  geometry->firstMaterial()->setLitPerPixel(false);
  EXPECT_FALSE(geometry->materials().front()->isLitPerPixel());
  auto replacement = scene::Material::make();
  geometry->setMaterials({replacement});
  EXPECT_EQ(geometry->firstMaterial(), replacement);
  geometry->setMaterials({});
  EXPECT_EQ(geometry->firstMaterial(), nullptr);
  EXPECT_FATAL(geometry->setMaterials({nullptr}), "geometry: a null material");
}

TEST(Geometry, SourcesOverAGpuBufferReadItsCurrentBytes) {
  auto device = gpu::Device::make();
  const std::vector<float> floats = {1, 2, 3, 0, 4, 5, 6, 0};
  auto buffer = device->makeBuffer(floats.data(), floats.size() * sizeof(float));
  auto source = GeometrySource::make(buffer, VertexFormat::float3, GeometrySemantic::normal, 2, 0, 16);
  EXPECT_EQ(source->buffer(), buffer);
  EXPECT_EQ(source->vector3At(1), Vector3(4, 5, 6));
  const float changed = -7;
  std::memcpy(buffer->contents() + 16, &changed, sizeof changed);
  EXPECT_EQ(source->vector3At(1), Vector3(-7, 5, 6));
  EXPECT_FATAL(GeometrySource::make(std::shared_ptr<gpu::Buffer>(), VertexFormat::float3,
                                    GeometrySemantic::vertex, 1, 0, 12),
               "geometry source: no buffer given");
}

TEST(Geometry, SourcesMustFitTheirData) {
  struct Case {
    std::size_t length;
    VertexFormat format;
    std::size_t count, offset, stride;
    bool fits;
  };
  const Case cases[] = {
      {28, VertexFormat::float3, 2, 0, 16, true},   // the last vector ends on the last byte
      {27, VertexFormat::float3, 2, 0, 16, false},  // one byte short
      {32, VertexFormat::float4, 2, 0, 16, true},
      {32, VertexFormat::float4, 2, 4, 16, false},  // the offset pushes it over
      {40, VertexFormat::float3, 1, 28, 12, true},
      {40, VertexFormat::float3, 1, 41, 12, false},  // the offset is past the end
      {12, VertexFormat::float3, 0, 99, 12, true},   // no vectors, nothing read
      {1024, VertexFormat::float3, std::size_t(1) << 62, 0, 16, false},  // no wrap-around
  };
  for (const Case& c : cases) {
    auto make = [&] {
      return GeometrySource::make(std::vector<std::uint8_t>(c.length), c.format,
                                  GeometrySemantic::vertex, c.count, c.offset, c.stride);
    };
    if (c.fits) {
      EXPECT_EQ(make()->vectorCount(), c.count);
    } else {
      EXPECT_FATAL_CONTAINING(make(), "overrun the " + std::to_string(c.length) + " bytes");
    }
  }
  EXPECT_FATAL(GeometrySource::make(std::vector<std::uint8_t>(64), VertexFormat::float4,
                                    GeometrySemantic::color, 2, 0, 12),
               "geometry source: a stride of 12 bytes is shorter than one vector of 16");
}

TEST(Geometry, ElementsAreCheckedAgainstTheirDataAndTheVertices) {
  EXPECT_FATAL(GeometryElement::make(std::vector<std::uint8_t>(9), PrimitiveType::triangles, 1, 3),
               "geometry element: an index has 1, 2 or 4 bytes, not 3");
  EXPECT_FATAL(GeometryElement::make(std::vector<std::uint8_t>(10), PrimitiveType::triangles, 2, 2),
               "geometry element: 10 bytes of indices for 2 triangles of 2-byte indices");

  auto small = GeometryElement::make({0, 1, 2}, PrimitiveType::triangles, 1, 1);
  EXPECT_EQ(small->indexAt(2), 2u);
  auto wide = GeometryElement::make({1, 0, 2, 0, 3, 0}, PrimitiveType::triangles, 1, 2);
  EXPECT_EQ(wide->indexAt(2), 3u);

  auto three = GeometrySource::make(std::vector<std::uint8_t>(36), VertexFormat::float3,
                                    GeometrySemantic::vertex, 3, 0, 12);
  EXPECT_EQ(Geometry::make({three}, {small})->vertexCount(), 3u);
  EXPECT_FATAL(Geometry::make({three}, {wide}),
               "geometry: element index 3 is not below the vertex count 3");
  EXPECT_FATAL(Geometry::make({}, {small}), "geometry: element index 0 is not below the vertex count 0");
  auto four = GeometrySource::make(std::vector<std::uint8_t>(48), VertexFormat::float3,
                                   GeometrySemantic::normal, 4, 0, 12);
  EXPECT_FATAL(Geometry::make({three, four}, {}), "geometry: sources of 3 and 4 vertices");
}

TEST(Geometry, ShapesKeepTheirSizes) {
  auto cylinder = scene::Cylinder::make(0.1f, 0.3f);
  EXPECT_EQ(cylinder->radius(), 0.1f);
  EXPECT_EQ(cylinder->height(), 0.3f);
  EXPECT_EQ(cylinder->materials().size(), 1u);
  EXPECT_EQ(scene::Sphere::make(0.001f)->radius(), 0.001f);
  EXPECT_FATAL(scene::Cylinder::make(-1, 1), "cylinder radius must be a number of 0 or more");
  EXPECT_FATAL(scene::Sphere::make(std::nanf("")), "sphere radius must be a number of 0 or more");
}

TEST(Geometry, MaterialContentsAreAColourOrAnImage) {
  auto material = scene::Material::make();
  EXPECT_EQ(material->lightingModel(), scene::LightingModel::blinn);
  EXPECT_TRUE(material->isLitPerPixel());
  material->setLightingModel(scene::LightingModel::phong);
  material->specular().setContents(graphics::Color::white());
  material->diffuse().setContents(graphics::Color::darkGrey());
  material->setShininess(0.15f);
  ASSERT_NE(material->diffuse().color(), nullptr);
  EXPECT_EQ(*material->diffuse().color(), graphics::Color::darkGrey());
  EXPECT_EQ(material->diffuse().image(), nullptr);

  auto bitmap = graphics::Bitmap::make(1, 1, {0, 0, 0, 255}, graphics::AlphaMode::Straight);
  auto image = std::make_shared<graphics::Image>(bitmap);
  material->diffuse().setContents(image);
  EXPECT_EQ(material->diffuse().image(), image);
  EXPECT_EQ(material->diffuse().color(), nullptr);
  EXPECT_FATAL(material->diffuse().setContents(std::shared_ptr<graphics::Image>()),
               "material contents: no image given");
}

}  // namespace
